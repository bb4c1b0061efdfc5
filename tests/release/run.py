#!/usr/bin/env python3
"""The signed release: scripts/release.sh and scripts/verify-release.sh on a clean
clone of HEAD (release.sh refuses a dirty tree: uncommitted changes are not tested).
What they sign with is made at run time in a private temporary folder: a test root
with a code-signing certificate in a PKCS#12 file and a password file, a TSA under
that root and one under another root (openssl ts behind http.server on 127.0.0.1),
and a SoftHSM token with a key made on it.

    python3 tests/release/run.py      (the Wine row needs build/win64 built)

Closes with "release: N passed, N failed"; exits 1 when a check failed.
"""

import contextlib
import json
import http.server
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
import zipfile

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(REPO, "tests", "e2e"))
import builds  # noqa: E402
import ui  # noqa: E402
import winenv  # noqa: E402

OSSLSIGNCODE = os.environ.get("OSSLSIGNCODE", "osslsigncode")
SOFTHSM = "/usr/lib/softhsm/libsofthsm2.so"
PIN = "4711-test"
CONFIG = """[req]
distinguished_name = dn
[dn]
[root]
basicConstraints = critical,CA:true
keyUsage = critical,keyCertSign
[code]
keyUsage = critical,digitalSignature
extendedKeyUsage = codeSigning
[tsa]
keyUsage = critical,digitalSignature
extendedKeyUsage = critical,timeStamping
[ts]
serial = serial
default_policy = 1.2.3.4.1
digests = sha256
signer_digest = sha256
ess_cert_id_alg = sha256
"""
# name, issuer (None: a root), extensions
CERTIFICATES = (("root", None, "root"), ("other-root", None, "root"), ("code", "root", "code"),
                ("tsa", "root", "tsa"), ("other-tsa", "other-root", "tsa"), ("token", "root", "code"))
RESULTS = []


def check(ok, what, detail=""):
    RESULTS.append(bool(ok))
    print("%s %s%s" % ("ok  " if ok else "FAIL", what, (": " + str(detail)[-1500:]) if detail and not ok else ""))
    return ok


def run(args, cwd=None, env=None, check_rc=True):
    done = subprocess.run(args, cwd=cwd, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          universal_newlines=True, timeout=600)
    if check_rc and done.returncode != 0:
        raise RuntimeError("%s failed:\n%s%s" % (" ".join(args), done.stdout, done.stderr))
    return done


def read(path):
    with open(path, "rb") as handle:
        return handle.read()


def write(path, data):
    with open(path, "wb" if isinstance(data, bytes) else "w") as handle:
        handle.write(data)


def make_keys(k):
    """Everything of CERTIFICATES in folder k, code.p12 with its password file, and the
    token: its key made on it, its certificate issued for that key and stored beside it."""
    for name, text in (("openssl.cnf", CONFIG), ("serial", "01\n"), ("pass", "correct horse battery\n"),
                       ("wrong-pass", "wrong\n"), ("pin", PIN + "\n"),
                       ("softhsm2.conf", "directories.tokendir = %s\n" % k)):
        write(os.path.join(k, name), text)
    env = dict(os.environ, SOFTHSM2_CONF=os.path.join(k, "softhsm2.conf"), PIN=PIN)
    hsm = lambda *args: run(["pkcs11-tool", "--module", SOFTHSM] + list(args), cwd=k, env=env)  # noqa: E731
    ssl = lambda *args: run(["openssl"] + list(args), cwd=k)  # noqa: E731
    user = ("--token-label", "release", "--login", "--pin", "env:PIN")
    hsm("--init-token", "--label", "release", "--so-pin", "env:PIN")
    hsm("--token-label", "release", "--login", "--login-type", "so", "--so-pin", "env:PIN", "--init-pin", "--pin",
        "env:PIN")
    hsm(*user, "--keypairgen", "--key-type", "EC:prime256v1", "--id", "01", "--label", "code")
    hsm("--token-label", "release", "--read-object", "--type", "pubkey", "--id", "01", "-o", "token.der")
    ssl("pkey", "-pubin", "-inform", "DER", "-in", "token.der", "-out", "token.pub")
    for name, issuer, extensions in CERTIFICATES:
        ssl("req", "-new", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256", "-nodes", "-keyout", name + ".key",
            "-subj", "/CN=" + name, "-config", "openssl.cnf", "-out", name + ".csr")
        ssl("x509", "-req", "-in", name + ".csr", "-days", "2", "-extfile", "openssl.cnf", "-extensions", extensions,
            "-out", name + ".crt", *(["-key", name + ".key"] if issuer is None else
                                     ["-CA", issuer + ".crt", "-CAkey", issuer + ".key", "-CAcreateserial"]),
            *(["-force_pubkey", "token.pub"] if name == "token" else []))
    ssl("pkcs12", "-export", "-inkey", "code.key", "-in", "code.crt", "-certfile", "root.crt", "-out", "code.p12",
        "-passout", "file:pass")
    ssl("x509", "-in", "token.crt", "-outform", "DER", "-out", "token.der")
    hsm(*user, "--write-object", "token.der", "--type", "cert", "--id", "01", "--label", "code")
    return {"SOFTHSM2_CONF": env["SOFTHSM2_CONF"], "SIGN_PKCS11_MODULE": SOFTHSM,
            "SIGN_PKCS11_KEY": "pkcs11:token=release;object=code;type=private",
            "SIGN_PKCS11_CERT": "pkcs11:token=release;object=code;type=cert", "SIGN_PASS_FILE": os.path.join(k, "pin")}


def serve_tsa(k, name, chain):
    """An RFC 3161 authority on 127.0.0.1 signing with k/name.key; returns its URL."""
    class Handler(http.server.BaseHTTPRequestHandler):
        def do_POST(self):
            query = self.rfile.read(int(self.headers["Content-Length"]))
            reply = subprocess.run(["openssl", "ts", "-reply", "-config", "openssl.cnf", "-section", "ts",
                                    "-queryfile", "/dev/stdin", "-inkey", name + ".key", "-signer", name + ".crt",
                                    "-chain", chain + ".crt"], cwd=k, input=query, stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL).stdout
            self.send_response(200 if reply else 500)
            self.send_header("Content-Type", "application/timestamp-reply")
            self.send_header("Content-Length", str(len(reply)))
            self.end_headers()
            self.wfile.write(reply)

        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return "http://127.0.0.1:%d/" % server.server_port


def script(ctx, name, settings, *args):
    env = {key: value for key, value in os.environ.items() if not key.startswith("SIGN_")}
    return run(["bash", os.path.join(ctx["clone"], "scripts", name)] + list(args), env=dict(env, **settings),
               check_rc=False)


def oss(*args):
    return run([OSSLSIGNCODE] + list(args), check_rc=False)


def snapshot(folder):
    """Contents and modification times of everything under folder; None when it is missing."""
    if not os.path.exists(folder):
        return None
    paths = [os.path.join(root, name) for root, _, names in os.walk(folder) for name in names]
    return {os.path.relpath(path, folder): (read(path), os.stat(path).st_mtime_ns) for path in paths}


@contextlib.contextmanager
def planted(clone, relative, data):
    """Puts data at clone/relative for the block, then restores what was there."""
    path = os.path.join(clone, relative)
    before = read(path) if os.path.exists(path) else None
    write(path, data)
    try:
        yield
    finally:
        write(path, before) if before is not None else os.remove(path)


def check_release(ctx, out, what):
    """Signature and timestamp verify, stripping and re-attaching give the reproducible
    build and the signed file back, SHA256SUMS holds; returns the verify report."""
    exe, unsigned, root = os.path.join(out, "Setup.exe"), os.path.join(out, "Setup-unsigned.exe"), ctx["root"]
    report = oss("verify", "-CAfile", root, "-TSA-CAfile", root, "-in", exe)
    check(report.returncode == 0 and "Timestamp Server Signature verification: ok" in report.stdout
          and "\nSignature verification: ok" in report.stdout, what + ": signature and timestamp verify",
          report.stdout + report.stderr)
    check(read(unsigned) == read(os.path.join(ctx["clone"], "build", "win32", "Setup.exe")),
          what + ": Setup-unsigned.exe is the reproducible build")
    stripped, attached = out + "-stripped.exe", out + "-attached.exe"
    oss("remove-signature", "-in", exe, "-out", stripped)
    check(read(stripped) == read(unsigned), what + ": removing the signature gives Setup-unsigned.exe")
    oss("attach-signature", "-sigin", exe + ".p7s", "-CAfile", root, "-TSA-CAfile", root, "-in", unsigned,
        "-out", attached)
    check(read(attached) == read(exe), what + ": Setup.exe.p7s attached to Setup-unsigned.exe gives Setup.exe")
    sums = run(["sha256sum", "--strict", "-c", "SHA256SUMS"], cwd=out, check_rc=False)
    check(sums.returncode == 0, what + ": SHA256SUMS holds", sums.stdout + sums.stderr)
    return report.stdout


def check_refused(ctx, settings, out, what, expected, *args):
    before = snapshot(out)
    done = script(ctx, "release.sh", settings, out, *args)
    check(done.returncode != 0 and expected in done.stderr, "%s: refused (%s)" % (what, expected),
          "rc=%d\n%s" % (done.returncode, done.stderr))
    check(snapshot(out) == before, what + ": OUTDIR unchanged")


# --- the rows ---------------------------------------------------------------------------------

def release_with_file(ctx):
    out = os.path.join(ctx["tmp"], "p12")
    done = script(ctx, "release.sh", ctx["p12"], out)
    if check(done.returncode == 0, "PKCS#12, local TSA: released", done.stdout + done.stderr):
        check(sorted(os.listdir(out)) == ["SHA256SUMS", "Setup-unsigned.exe", "Setup.exe", "Setup.exe.p7s"],
              "PKCS#12: OUTDIR holds the four files", os.listdir(out))
        check_release(ctx, out, "PKCS#12")
        done = script(ctx, "verify-release.sh", ctx["p12"], out)
        ctx["released"] = check(done.returncode == 0, "PKCS#12: verify-release.sh passes", done.stdout + done.stderr)


def release_refused(ctx):
    """Each refusal leaves OUTDIR as it was: one holding the first release, or a missing one."""
    p12, k, out = ctx["p12"], ctx["keys"], os.path.join(ctx["tmp"], "p12")
    signed = read(os.path.join(out, "Setup.exe"))
    for what, settings, outdir, expected, plant in (
            ("wrong password", dict(p12, SIGN_PASS_FILE=k + "/wrong-pass"), out, "osslsigncode sign failed", None),
            ("TSA not under SIGN_CAFILE, OUTDIR missing", dict(p12, SIGN_TS_URL=ctx["other_tsa"]),
             os.path.join(ctx["tmp"], "missing"), "the timestamp of", None),
            ("signer not under SIGN_CAFILE", dict(p12, SIGN_CAFILE=k + "/other-root.crt"), out, "the signature of",
             None),
            # newer than the objects it is linked from, so the build keeps it
            ("already-signed build", p12, out, "signed already", ("build/win32/Setup.exe", signed)),
            ("untracked file in the work tree", p12, out, "untracked", ("stray.txt", b"not committed\n"))):
        with planted(ctx["clone"], *plant) if plant else contextlib.nullcontext():
            check_refused(ctx, settings, outdir, what, expected)


def release_with_token(ctx):
    out = os.path.join(ctx["tmp"], "token")
    with socket.socket() as refusing:
        refusing.bind(("127.0.0.1", 0))  # bound, not listening: connections are refused
        urls = "http://127.0.0.1:%d/ %s" % (refusing.getsockname()[1], ctx["tsa"])
        done = script(ctx, "release.sh", dict(ctx["token"], SIGN_TS_URL=urls), out)
    if check(done.returncode == 0, "SoftHSM token, first TSA URL refused, second answers: released",
             done.stdout + done.stderr):
        check("Subject: /CN=token" in check_release(ctx, out, "token"), "token: signed by the token's certificate")


def forged_release(ctx):
    """verify-release.sh fails where SHA256SUMS holds but the files are not the rebuild:
    Setup.exe and its p7s signing other bytes, then Setup-unsigned.exe forged as well."""
    fake = bytearray(read(os.path.join(ctx["tmp"], "p12", "Setup-unsigned.exe")))
    fake[0x4E] ^= 0x20  # a letter of the DOS stub's message
    write(os.path.join(ctx["tmp"], "fake.exe"), bytes(fake))
    for forged, expected in ((("Setup.exe", "Setup.exe.p7s"), "osslsigncode attach-signature failed"),
                             (("Setup.exe", "Setup.exe.p7s", "Setup-unsigned.exe"), "the rebuild differs")):
        out = os.path.join(ctx["tmp"], "forged-%d" % len(forged))
        shutil.copytree(os.path.join(ctx["tmp"], "p12"), out)
        for name in forged:
            os.remove(os.path.join(out, name))
        oss("sign", "-pkcs12", ctx["p12"]["SIGN_PKCS12"], "-readpass", ctx["p12"]["SIGN_PASS_FILE"], "-h", "sha256",
            "-ts", ctx["tsa"], "-in", os.path.join(ctx["tmp"], "fake.exe"), "-out", os.path.join(out, "Setup.exe"))
        oss("extract-signature", "-pem", "-in", os.path.join(out, "Setup.exe"), "-out", out + "/Setup.exe.p7s")
        if len(forged) == 3:
            write(os.path.join(out, "Setup-unsigned.exe"), bytes(fake))
        run(["sh", "-c", "sha256sum Setup.exe Setup-unsigned.exe Setup.exe.p7s >SHA256SUMS"], cwd=out)
        done = script(ctx, "verify-release.sh", ctx["p12"], out)
        check(done.returncode != 0 and expected in done.stderr, "forged %s: verify-release.sh fails (%s)"
              % (", ".join(forged), expected), done.stdout + done.stderr)


def release_with_package(ctx):
    package, out = os.path.join(ctx["tmp"], "VQ2200 Driver"), os.path.join(ctx["tmp"], "package")
    shutil.copytree(os.path.join(ctx["clone"], "examples", "package"), package)
    write(os.path.join(package, "setup.exe"), b"an older launcher")  # replaced in the zip
    if not os.path.isfile(os.path.join(ctx["clone"], "scripts", "check-package.sh")):
        check_refused(ctx, ctx["p12"], out, "--package without scripts/check-package.sh", "check-package.sh",
                      "--package", package)
        return
    before = snapshot(package)
    done = script(ctx, "release.sh", ctx["p12"], out, "--package", package)
    if check(done.returncode == 0, "--package: released", done.stdout + done.stderr):
        sums = run(["sha256sum", "--strict", "-c", "SHA256SUMS"], cwd=out, check_rc=False)
        check(sums.returncode == 0 and "VQ2200 Driver.zip: OK" in sums.stdout, "--package: SHA256SUMS holds the zip",
              sums.stdout + sums.stderr)
        expected = {name: data for name, (data, _) in before.items() if name != "setup.exe"}
        expected["Setup.exe"] = read(os.path.join(out, "Setup.exe"))
        zipped = zipfile.ZipFile(os.path.join(out, "VQ2200 Driver.zip"))
        check(zipped.namelist() == sorted(expected) and all(zipped.read(name) == expected[name] for name in expected),
              "--package: the zip holds the package's files and the signed Setup.exe, sorted", zipped.namelist())
        again = os.path.join(ctx["tmp"], "again.zip")
        run(["python3", os.path.join(ctx["clone"], "scripts", "package-zip.py"), package,
             os.path.join(out, "Setup.exe"), again])
        check(read(again) == read(os.path.join(out, "VQ2200 Driver.zip"))
              and {info.date_time for info in zipped.infolist()} == {(1980, 1, 1, 0, 0, 0)},
              "--package: the zip is reproducible, with fixed times")
        done = script(ctx, "verify-release.sh", ctx["p12"], out)
        check(done.returncode == 0, "--package: verify-release.sh passes, the zip's Setup.exe included",
              done.stdout + done.stderr)
    check(snapshot(package) == before, "--package: the package folder is unchanged")
    os.remove(os.path.join(package, "VQ2200.INF"))  # a listed file missing: an error of the package
    check_refused(ctx, ctx["p12"], out, "--package with a failing check", "package check", "--package", package)


def release_with_brand(ctx):
    """--brand: the launcher of another product family, its signature naming the
    program after that brand's title; verify-release.sh needs the same brand."""
    out, brand = os.path.join(ctx["tmp"], "brand"), os.path.join(ctx["clone"], "tests", "brand", "brand.cmake")
    done = script(ctx, "release.sh", ctx["p12"], out, "--brand", brand)
    if not check(done.returncode == 0, "--brand: released", done.stdout + done.stderr):
        return
    report = check_release(ctx, out, "--brand")
    with open(os.path.join(ctx["clone"], "build", "win32", "brand", "brand.json")) as handle:
        title = json.load(handle)["title"]
    check(title.encode("utf-16-le") in read(os.path.join(out, "Setup.exe")) and
          "Text description: %s\n" % title in report,
          "--brand: the build and its signature (the program's name) carry the brand's title %r" % title, report)
    done = script(ctx, "verify-release.sh", ctx["p12"], out, "--brand", brand)
    check(done.returncode == 0, "--brand: verify-release.sh --brand passes", done.stdout + done.stderr)
    done = script(ctx, "verify-release.sh", ctx["p12"], out)
    check(done.returncode != 0 and "differs" in done.stderr, "--brand: verify-release.sh without it fails",
          done.stdout + done.stderr)


def signed_exe_starts(ctx):
    """The signed launcher still starts under Wine: in a folder without a setup file,
    /quiet ends it at once with 1619 (the package cannot be opened) and no window;
    wine64's exit status keeps the low 8 bits.  A file that Wine does not load as a
    program ends otherwise."""
    build, folder = builds.choose_builds()[0], os.path.join(ctx["tmp"], "wine")
    os.mkdir(folder)
    exe = os.path.join(folder, "Setup.exe")
    if build.name == "win32":
        shutil.copyfile(os.path.join(ctx["tmp"], "p12", "Setup.exe"), exe)
    else:  # this kernel runs no i386 program: a copy of the 64-bit build, signed the same way
        oss("sign", "-pkcs12", ctx["p12"]["SIGN_PKCS12"], "-readpass", ctx["p12"]["SIGN_PASS_FILE"], "-h", "sha256",
            "-ts", ctx["tsa"], "-in", build.setup_exe, "-out", exe)
    env = winenv.WineEnv(setup_exe=exe, prefix=os.path.join(REPO, "build", "release", "prefix"))
    try:
        env.start()
        result = env.run_wine(["Setup.exe", "/quiet"], cwd=folder, timeout=30)
        windows = ui.list_windows(env, exe="Setup.exe").windows
        check(result.returncode == 1619 & 0xFF and not windows, "signed %s Setup.exe starts under Wine" % build.name,
              "%r %s %s" % (result, result.stderr[-500:], ui.summarize(windows)))
    finally:
        env.close()


def main():
    os.umask(0o077)  # keys, PIN and password stay private to this user
    tmp = tempfile.mkdtemp(prefix="release-test-", dir="/tmp")
    try:
        clone, k = os.path.join(tmp, "clone"), os.path.join(tmp, "keys")
        run(["git", "clone", "-q", REPO, clone])
        print("testing the release scripts of %s" % run(["git", "-C", clone, "rev-parse", "HEAD"]).stdout.strip())
        os.mkdir(k)
        token = make_keys(k)
        ctx = {"tmp": tmp, "clone": clone, "keys": k, "root": k + "/root.crt", "tsa": serve_tsa(k, "tsa", "root"),
               "other_tsa": serve_tsa(k, "other-tsa", "other-root")}
        ctx["p12"] = {"SIGN_PKCS12": k + "/code.p12", "SIGN_PASS_FILE": k + "/pass", "SIGN_CAFILE": ctx["root"],
                      "SIGN_TS_URL": ctx["tsa"]}
        ctx["token"] = dict(token, SIGN_CAFILE=ctx["root"])
        for row in (release_with_file, release_refused, release_with_token, forged_release, release_with_package,
                    signed_exe_starts, release_with_brand):
            started = time.monotonic()
            row(ctx)
            print("-- %s: %.1f s" % (row.__name__, time.monotonic() - started))
            if not ctx.get("released"):
                break  # the other rows start from the first release
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    print("release: %d passed, %d failed" % (RESULTS.count(True), RESULTS.count(False)))
    return 0 if RESULTS and all(RESULTS) else 1


if __name__ == "__main__":
    sys.exit(main())
