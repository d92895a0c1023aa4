#!/usr/bin/env python3
"""Answers every GET on 127.0.0.1:<port> after <seconds>, for bench-fetch.sh."""
import http.server
import sys
import time

port, delay = int(sys.argv[1]), float(sys.argv[2])


class Stalling(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        time.sleep(delay)
        body = b"answered after a stall\r\n"
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


http.server.ThreadingHTTPServer(("127.0.0.1", port), Stalling).serve_forever()
