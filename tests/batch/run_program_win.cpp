// Starting the built velmora-batch.exe from a Windows test program (under
// Wine): CreateProcess with the three standard handles on files.
#include <windows.h>

#include "batch_support.h"

namespace {

HANDLE inheritable(const std::string& path, bool forWriting) {
    SECURITY_ATTRIBUTES sa = {};
    sa.nLength = sizeof sa;
    sa.bInheritHandle = TRUE;
    return CreateFileA(path.c_str(), forWriting ? GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                       forWriting ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// One argument as the C runtime splits a command line: quoted, with the
// backslashes before a quote doubled.
std::string quoted(const std::string& arg) {
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') backslashes = backslashes * 2 + 1;
        out.append(backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

}  // namespace

BatchRun runProgram(const std::vector<std::string>& args, const std::string& stdinText,
                    const std::string& workDir) {
    const std::string base = workDir.empty() ? std::string(".") : workDir;
    writeText(base + "/process_stdin.txt", stdinText);
    std::string commandLine = quoted(VELMORA_BATCH_PROGRAM);
    for (const std::string& a : args) commandLine += " " + quoted(a);

    BatchRun run;
    HANDLE in = inheritable(base + "/process_stdin.txt", false);
    HANDLE out = inheritable(base + "/process_stdout.txt", true);
    HANDLE err = inheritable(base + "/process_stderr.txt", true);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in;
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi = {};
    std::string mutableLine = commandLine;
    if (CreateProcessA(nullptr, &mutableLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                       workDir.empty() ? nullptr : workDir.c_str(), &si, &pi)) {
        WaitForSingleObject(pi.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        run.status = static_cast<int>(code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(in);
    CloseHandle(out);
    CloseHandle(err);
    run.out = readText(base + "/process_stdout.txt");
    run.err = readText(base + "/process_stderr.txt");
    return run;
}
