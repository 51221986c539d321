#!/usr/bin/env python3
"""The Windows build's signing, on the build machine: what configuring decides
(cmake/Signing.cmake, in a project of its own), and what the signing step
(cmake/SignFile.cmake) makes of the module, the program and the installer
with a throw-away certificate authority and a local RFC 3161 time-stamping
server (openssl ts behind a small HTTP server).

Run by ctest as `signing_test.py TestCase`. The environment names the tools
and files: CMAKE, OSSLSIGNCODE, OPENSSL, VANTELO_SOURCE_DIR, VANTELO_DLL,
VANTELO_EXE, VANTELO_MSI, VANTELO_SCRATCH (a folder of the build tree) and,
for ShippedFilesAreSigned, VANTELO_ACTIONS, VANTELO_SIGNING_SETTINGS and MSIEXTRACT.
"""
import http.server
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import unittest
from pathlib import Path

ENV = os.environ
DAY = 86400


def run(*command, env=None, cwd=None):
    return subprocess.run([str(part) for part in command], capture_output=True, text=True,
                          env=env, cwd=cwd)


def openssl(*arguments, cwd):
    result = run(ENV["OPENSSL"], *arguments, cwd=cwd)
    if result.returncode != 0:
        raise RuntimeError(f"openssl {arguments[0]} failed:\n{result.stderr}")


class Authority:
    """A certificate authority of two days, with a code-signing certificate and
    a time-stamping certificate of its own, in `folder`."""

    def __init__(self, folder: Path):
        self.folder = folder
        openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                "-subj", "/CN=Vantelo test authority", "-keyout", "ca.key", "-out", "ca.pem",
                "-addext", "basicConstraints=critical,CA:true",
                "-addext", "keyUsage=critical,keyCertSign", cwd=folder)
        for name, usage in (("code", "codeSigning"), ("tsa", "critical,timeStamping")):
            (folder / f"{name}.ext").write_text(
                f"extendedKeyUsage={usage}\nbasicConstraints=CA:false\n"
                "keyUsage=critical,digitalSignature\n")
            openssl("req", "-newkey", "rsa:2048", "-nodes", "-subj", f"/CN=Vantelo test {name}",
                    "-keyout", f"{name}.key", "-out", f"{name}.csr", cwd=folder)
            openssl("x509", "-req", "-in", f"{name}.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
                    "-CAcreateserial", "-days", "2", "-extfile", f"{name}.ext",
                    "-out", f"{name}.pem", cwd=folder)
        (folder / "tsa.serial").write_text("01\n")
        (folder / "tsa.cnf").write_text(
            "[ tsa ]\ndefault_tsa = this\n[ this ]\n"
            "serial = tsa.serial\nsigner_cert = tsa.pem\ncerts = tsa.pem\n"
            "signer_key = tsa.key\nsigner_digest = sha256\ndefault_policy = 1.2.3.4.1\n"
            "digests = sha256, sha384, sha512\naccuracy = secs:1\n"
            "ess_cert_id_alg = sha256\n")

    def path(self, name):
        return self.folder / name


class TimestampServer:
    """An RFC 3161 server on a free local port: each request is answered by
    `openssl ts -reply` with the authority's time-stamping certificate."""

    def __init__(self, authority: Authority):
        folder = authority.folder

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_POST(self):
                request = self.rfile.read(int(self.headers["Content-Length"]))
                with tempfile.TemporaryDirectory(dir=folder) as work:
                    query, reply = Path(work, "query.tsq"), Path(work, "reply.tsr")
                    query.write_bytes(request)
                    result = run(ENV["OPENSSL"], "ts", "-reply", "-config", "tsa.cnf",
                                 "-queryfile", query, "-out", reply, cwd=folder)
                    body = reply.read_bytes() if result.returncode == 0 else b""
                self.send_response(200 if body else 500)
                self.send_header("Content-Type", "application/timestamp-reply")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *arguments):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.url = f"http://127.0.0.1:{self.server.server_address[1]}"
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    def close(self):
        self.server.shutdown()
        self.server.server_close()


def unused_port_url():
    import socket
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return f"http://127.0.0.1:{probe.getsockname()[1]}"


class SigningTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        scratch = Path(ENV["VANTELO_SCRATCH"])
        scratch.mkdir(parents=True, exist_ok=True)
        cls.folder = Path(tempfile.mkdtemp(dir=scratch))
        cls.authority = Authority(cls.folder)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder, ignore_errors=True)

    def configure(self, *definitions, env=None, project=None):
        """Configures a project that only includes cmake/Signing.cmake (anew,
        or again in `project`), with the cache definitions given: the outcome
        and the settings file it writes."""
        project = project or Path(tempfile.mkdtemp(dir=self.folder))
        (project / "CMakeLists.txt").write_text(
            "cmake_minimum_required(VERSION 3.25)\nproject(SigningDecision NONE)\n"
            f"include({Path(ENV['VANTELO_SOURCE_DIR'], 'cmake', 'Signing.cmake').as_posix()})\n")
        environment = {k: v for k, v in ENV.items() if not k.startswith("VANTELO_SIGN_")}
        environment.update(env or {})
        result = run(ENV["CMAKE"], "-S", project, "-B", project / "build",
                     *[f"-D{d}" for d in definitions], env=environment)
        return result, project / "build" / "signing" / "settings.cmake"

    def sign(self, file, settings, env=None):
        """Runs the build's signing step on a copy of `file`: the outcome, the
        copy, and its bytes before."""
        copy = Path(tempfile.mkdtemp(dir=self.folder)) / Path(file).name
        shutil.copyfile(file, copy)
        before = copy.read_bytes()
        environment = dict(ENV)
        environment.update(env or {})
        result = run(ENV["CMAKE"], f"-DFILE={copy}", f"-DSETTINGS={settings}", "-P",
                     Path(ENV["VANTELO_SOURCE_DIR"], "cmake", "SignFile.cmake"), env=environment)
        return result, copy, before

    def verify(self, file, days_later=0):
        """osslsigncode's verdict on the file's signature, as of `days_later`
        days from now (after the certificate has expired, for 3 or more)."""
        return run(ENV["OSSLSIGNCODE"], "verify", "-CAfile", self.authority.path("ca.pem"),
                   "-TSA-CAfile", self.authority.path("ca.pem"),
                   "-time", int(time.time()) + days_later * DAY, "-in", file)

    def signing_definitions(self, *more):
        return (f"VANTELO_SIGN_CERT={self.authority.path('code.pem')}",
                f"VANTELO_SIGN_CA={self.authority.path('ca.pem')}",
                f"VANTELO_SIGN_TIMESTAMP_CA={self.authority.path('ca.pem')}") + more


class ConfigureDecides(SigningTest):
    def test_each_configuration(self):
        key = f"VANTELO_SIGN_KEY={self.authority.path('code.key')}"
        cert = f"VANTELO_SIGN_CERT={self.authority.path('code.pem')}"
        cases = [
            # definitions, environment, configures, text in the output
            ((), {}, True, "Unsigned build"),
            ((cert, key), {}, True, "without a timestamp"),
            ((cert, key, "VANTELO_SIGN_TIMESTAMP_URL=http://tsa.example"), {}, True,
             "timestamped by http://tsa.example"),
            ((cert,), {}, False, "no key"),
            ((cert, key, "VANTELO_SIGN_KEY_ENV=KEY_TEXT"), {}, False, "not both"),
            ((cert, "VANTELO_SIGN_KEY_ENV=NOT A NAME"), {}, False, "must name an environment"),
            ((cert, f"VANTELO_SIGN_KEY={self.folder / 'missing.key'}"), {}, False,
             "does not exist"),
            ((key,), {}, False, "VANTELO_SIGN_CERT is not"),
            ((cert, key, "VANTELO_SIGN_TIMESTAMP_URL=tsa.example"), {}, False,
             "is not an http"),
            # The environment when configuring names the certificate (as CI does).
            ((), {"VANTELO_SIGN_CERT": str(self.authority.path("code.pem")),
                  "VANTELO_SIGN_KEY": str(self.authority.path("code.key"))}, True,
             "Signing Vantelo.dll"),
        ]
        for definitions, environment, configures, text in cases:
            with self.subTest(definitions=definitions, environment=environment):
                result, settings = self.configure(*definitions, env=environment)
                self.assertEqual(result.returncode == 0, configures, result.stderr)
                self.assertIn(text, " ".join((result.stdout + result.stderr).split()))
                if configures:
                    self.assertEqual("set(SIGN ON)" in settings.read_text(),
                                     text != "Unsigned build")


    def test_the_environment_is_not_stored(self):
        # CI's throw-away certificate must not outlive its run in the cache.
        _, settings = self.configure(env={
            "VANTELO_SIGN_CERT": str(self.authority.path("code.pem")),
            "VANTELO_SIGN_KEY": str(self.authority.path("code.key"))})
        self.assertIn("set(SIGN ON)", settings.read_text())
        result, settings = self.configure(project=settings.parent.parent.parent)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("set(SIGN OFF)", settings.read_text())


class SignaturesOutliveTheirCertificate(SigningTest):
    def test_with_a_timestamp_only(self):
        server = TimestampServer(self.authority)
        try:
            _, stamped = self.configure(*self.signing_definitions(
                f"VANTELO_SIGN_KEY={self.authority.path('code.key')}",
                f"VANTELO_SIGN_TIMESTAMP_URL={server.url}"))
            _, unstamped = self.configure(*self.signing_definitions(
                f"VANTELO_SIGN_KEY={self.authority.path('code.key')}"))
            for file in (ENV["VANTELO_DLL"], ENV["VANTELO_EXE"], ENV["VANTELO_MSI"]):
                for settings, lasts in ((stamped, True), (unstamped, False)):
                    with self.subTest(file=Path(file).name, timestamp=lasts):
                        result, signed, before = self.sign(file, settings)
                        self.assertEqual(result.returncode, 0, result.stderr)
                        self.assertNotEqual(signed.read_bytes(), before)
                        self.assertEqual(self.verify(signed).returncode, 0)
                        # The certificate has expired ten days later: only
                        # the timestamp keeps the signature valid.
                        later = self.verify(signed, days_later=10)
                        self.assertEqual(later.returncode == 0, lasts, later.stdout)
        finally:
            server.close()


class KeyFromTheEnvironment(SigningTest):
    def test_signs_with_the_key_the_variable_holds(self):
        _, settings = self.configure(*self.signing_definitions(
            "VANTELO_SIGN_KEY_ENV=VANTELO_TEST_SIGNING_KEY"))
        key = self.authority.path("code.key").read_text()
        result, signed, _ = self.sign(ENV["VANTELO_DLL"], settings,
                                      env={"VANTELO_TEST_SIGNING_KEY": key})
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.verify(signed).returncode, 0)
        # The key is not left behind beside the file.
        self.assertEqual(sorted(p.name for p in signed.parent.iterdir()), [signed.name])

    def test_an_empty_variable_fails_and_leaves_the_file(self):
        _, settings = self.configure(*self.signing_definitions(
            "VANTELO_SIGN_KEY_ENV=VANTELO_TEST_SIGNING_KEY"))
        result, signed, before = self.sign(ENV["VANTELO_DLL"], settings,
                                           env={"VANTELO_TEST_SIGNING_KEY": ""})
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("VANTELO_TEST_SIGNING_KEY holds no key", " ".join(result.stderr.split()))
        self.assertEqual(signed.read_bytes(), before)


class UnreachableTimestampServer(SigningTest):
    def test_fails_and_leaves_the_file(self):
        _, settings = self.configure(*self.signing_definitions(
            f"VANTELO_SIGN_KEY={self.authority.path('code.key')}",
            f"VANTELO_SIGN_TIMESTAMP_URL={unused_port_url()}"))
        result, signed, before = self.sign(ENV["VANTELO_DLL"], settings)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("Signing Vantelo.dll failed", result.stderr)
        self.assertEqual(signed.read_bytes(), before)
        self.assertEqual(sorted(p.name for p in signed.parent.iterdir()), [signed.name])


class ShippedFilesAreSigned(unittest.TestCase):
    """What the build made, as configured: the module, the program, the
    installer's custom actions, the package and the two executables packed
    in it each carry a signature that verifies. The settings page is packed
    too; a web page has no place for an Authenticode signature, and the
    signed package covers it."""

    def test_module_program_package_and_packed_files(self):
        self.assertIn("set(SIGN ON)", Path(ENV["VANTELO_SIGNING_SETTINGS"]).read_text())
        with tempfile.TemporaryDirectory(dir=ENV["VANTELO_SCRATCH"]) as unpacked:
            extracted = run(ENV["MSIEXTRACT"], "-C", unpacked, ENV["VANTELO_MSI"])
            self.assertEqual(extracted.returncode, 0, extracted.stderr)
            files = sorted(Path(unpacked).rglob("*.*"))
            self.assertEqual(sorted(p.name for p in files),
                             ["Vantelo Settings.html", "Vantelo.dll", "vantelo.exe"])
            packed = [p for p in files if p.suffix in (".dll", ".exe")]
            for file in [ENV["VANTELO_DLL"], ENV["VANTELO_EXE"], ENV["VANTELO_ACTIONS"],
                         ENV["VANTELO_MSI"], *packed]:
                with self.subTest(file=str(file)):
                    result = run(ENV["CMAKE"], f"-DFILE={file}",
                                 f"-DSETTINGS={ENV['VANTELO_SIGNING_SETTINGS']}", "-DACTION=verify",
                                 "-P", Path(ENV["VANTELO_SOURCE_DIR"], "cmake", "SignFile.cmake"))
                    self.assertEqual(result.returncode, 0, result.stderr)


if __name__ == "__main__":
    sys.argv[1:] = [sys.argv[1]] if len(sys.argv) > 1 else []
    unittest.main(verbosity=2)
