// Starting the built velmora-batch on Linux: fork, redirect, exec.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "batch_support.h"

BatchRun runProgram(const std::vector<std::string>& args, const std::string& stdinText,
                    const std::string& workDir) {
    const std::string base = workDir.empty() ? std::string(".") : workDir;
    writeText(base + "/process_stdin.txt", stdinText);
    std::vector<std::string> storage;
    storage.push_back(VELMORA_BATCH_PROGRAM);
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : storage) argv.push_back(&s[0]);
    argv.push_back(nullptr);

    BatchRun run;
    const pid_t child = fork();
    if (child == 0) {
        if (!workDir.empty() && chdir(workDir.c_str()) != 0) _exit(127);
        const int in = open("process_stdin.txt", O_RDONLY);
        const int out = open("process_stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open("process_stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0) _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        run.status = WEXITSTATUS(status);
    }
    run.out = readText(base + "/process_stdout.txt");
    run.err = readText(base + "/process_stderr.txt");
    return run;
}
