"""Serves the built page on this machine only (127.0.0.1, a free port) until
Ctrl-C.

    serve.py BUILD_WEB_DIR
"""
import functools
import http.server
import sys


def main():
    folder = sys.argv[1]
    handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=folder)
    # Port 0: the system picks a free one, which is printed.
    with http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler) as server:
        port = server.server_address[1]
        print(f"VELMORA at http://127.0.0.1:{port}/velmora.html (Ctrl-C stops)", flush=True)
        try:
            server.serve_forever()
        except KeyboardInterrupt:
            pass


if __name__ == "__main__":
    main()
