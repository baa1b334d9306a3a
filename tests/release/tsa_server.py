#!/usr/bin/env python3
"""An RFC 3161 timestamp authority on 127.0.0.1 for the release test: every query POSTed to it is
answered by `openssl ts -reply` with the given configuration; with `refuse`, by HTTP 500. It writes
the port it listens on to PORT_FILE, and ends by itself after ten minutes if nobody ends it.
Usage: tsa_server.py CONFIG PORT_FILE [refuse]"""
import http.server
import os
import subprocess
import sys
import tempfile
import time

config, port_file = sys.argv[1], sys.argv[2]
refuse = len(sys.argv) > 3 and sys.argv[3] == "refuse"


class TimestampAuthority(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        if refuse:
            self.send_error(500, "refused")
            return
        with tempfile.NamedTemporaryFile(delete=False) as file:
            file.write(query)
        reply = subprocess.run(["openssl", "ts", "-reply", "-config", config, "-queryfile",
                                file.name], capture_output=True, check=False).stdout
        os.unlink(file.name)
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)

    def log_message(self, *arguments):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), TimestampAuthority)
server.timeout = 1
with open(port_file + ".new", "w", encoding="ascii") as out:
    out.write(str(server.server_address[1]))
os.rename(port_file + ".new", port_file)
deadline = time.monotonic() + 600
while time.monotonic() < deadline:
    server.handle_request()
