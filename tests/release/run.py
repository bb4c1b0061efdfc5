#!/usr/bin/env python3
"""The signed release: scripts/release.sh and scripts/verify-release.sh run on a
clean clone of HEAD (release.sh refuses a dirty tree, so uncommitted changes are
not what this tests).  Everything they sign with is made here, at run time, in a
private temporary folder: a test root with a code-signing certificate in a
PKCS#12 file and a password file, a timestamp authority under that root and one
under another root, each served by `openssl ts` behind http.server on 127.0.0.1,
and a SoftHSM token with a key made on it.

    python3 tests/release/run.py

Needs build/win64 built (bash scripts/build.sh win64) for the Wine row.
Closes with "release: N passed, N failed"; exits 1 when a check failed.
"""

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

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(REPO, "tests", "e2e"))
import builds  # noqa: E402
import ui  # noqa: E402
import winenv  # noqa: E402

OSSLSIGNCODE = os.environ.get("OSSLSIGNCODE", "osslsigncode")
SOFTHSM = "/usr/lib/softhsm/libsofthsm2.so"
PIN = "4711-test"
EXTENSIONS = """[req]
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
default_tsa = ts_section
[ts_section]
serial = %s
default_policy = 1.2.3.4.1
digests = sha256
signer_digest = sha256
ess_cert_id_alg = sha256
"""
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


# --- what the release is signed with --------------------------------------------------------

def certificate(folder, name, issuer, extensions, key=None, pubkey=None):
    """Makes folder/name.crt (and name.key unless pubkey is given), issued by issuer or self-signed."""
    crt, csr = os.path.join(folder, name + ".crt"), os.path.join(folder, name + ".csr")
    key = key or os.path.join(folder, name + ".key")
    config = os.path.join(folder, "openssl.cnf")
    run(["openssl", "req", "-new", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256", "-nodes", "-keyout", key,
         "-subj", "/CN=" + name, "-config", config, "-out", csr])
    if issuer is None:
        run(["openssl", "x509", "-req", "-in", csr, "-key", key, "-out", crt, "-days", "2",
             "-extfile", config, "-extensions", extensions])
    else:
        run(["openssl", "x509", "-req", "-in", csr, "-CA", issuer + ".crt", "-CAkey", issuer + ".key",
             "-CAcreateserial", "-out", crt, "-days", "2", "-extfile", config, "-extensions", extensions]
            + (["-force_pubkey", pubkey] if pubkey else []))
    return crt


def make_keys(folder):
    """A root with a code-signing certificate (PKCS#12, password file) and a TSA; another
    root with a TSA; returns their paths."""
    with open(os.path.join(folder, "openssl.cnf"), "w") as handle:
        handle.write(EXTENSIONS % os.path.join(folder, "tsa.serial"))
    with open(os.path.join(folder, "tsa.serial"), "w") as handle:
        handle.write("01\n")
    for root in ("root", "other-root"):
        certificate(folder, root, None, "root")
    keys = {name: os.path.join(folder, name) for name in ("root", "other-root", "code", "tsa", "other-tsa")}
    certificate(folder, "code", keys["root"], "code")
    certificate(folder, "tsa", keys["root"], "tsa")
    certificate(folder, "other-tsa", keys["other-root"], "tsa")
    keys["pass"], keys["wrong-pass"] = os.path.join(folder, "pass"), os.path.join(folder, "wrong-pass")
    for path, text in ((keys["pass"], "correct horse battery\n"), (keys["wrong-pass"], "wrong\n")):
        with open(path, "w") as handle:
            handle.write(text)
    keys["p12"] = os.path.join(folder, "code.p12")
    run(["openssl", "pkcs12", "-export", "-inkey", keys["code"] + ".key", "-in", keys["code"] + ".crt",
         "-certfile", keys["root"] + ".crt", "-out", keys["p12"], "-passout", "file:" + keys["pass"]])
    return keys


def make_token(folder, keys):
    """A SoftHSM token holding a key made on it and its certificate under the test root;
    returns the release.sh settings for it."""
    tokens = os.path.join(folder, "tokens")
    os.mkdir(tokens)
    config = os.path.join(folder, "softhsm2.conf")
    with open(config, "w") as handle:
        handle.write("directories.tokendir = %s\n" % tokens)
    env = dict(os.environ, SOFTHSM2_CONF=config, PIN=PIN)
    tool = ["pkcs11-tool", "--module", SOFTHSM]
    token = tool + ["--token-label", "release", "--login", "--pin", "env:PIN"]
    run(tool + ["--init-token", "--label", "release", "--so-pin", "env:PIN"], env=env)
    run(tool + ["--token-label", "release", "--login", "--login-type", "so", "--so-pin", "env:PIN",
                "--init-pin", "--pin", "env:PIN"], env=env)
    run(token + ["--keypairgen", "--key-type", "EC:prime256v1", "--id", "01", "--label", "code"], env=env)
    public = os.path.join(folder, "token.pub")
    run(tool + ["--token-label", "release", "--read-object", "--type", "pubkey", "--id", "01", "-o", public], env=env)
    run(["openssl", "pkey", "-pubin", "-inform", "DER", "-in", public, "-out", public + ".pem"])
    crt = certificate(folder, "token", keys["root"], "code", key=os.path.join(folder, "throwaway.key"),
                      pubkey=public + ".pem")
    run(["openssl", "x509", "-in", crt, "-outform", "DER", "-out", crt + ".der"])
    run(token + ["--write-object", crt + ".der", "--type", "cert", "--id", "01", "--label", "code"], env=env)
    pin = os.path.join(folder, "pin")
    with open(pin, "w") as handle:
        handle.write(PIN + "\n")
    return {"SOFTHSM2_CONF": config, "SIGN_PKCS11_MODULE": SOFTHSM, "SIGN_PASS_FILE": pin,
            "SIGN_PKCS11_KEY": "pkcs11:token=release;object=code;type=private",
            "SIGN_PKCS11_CERT": "pkcs11:token=release;object=code;type=cert"}


def serve_tsa(keys, name, chain):
    """Serves RFC 3161 replies signed by keys[name] on 127.0.0.1; returns its URL."""
    config, signer, ca = os.path.join(os.path.dirname(keys["root"]), "openssl.cnf"), keys[name], chain + ".crt"

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_POST(self):
            query = self.rfile.read(int(self.headers["Content-Length"]))
            reply = subprocess.run(["openssl", "ts", "-reply", "-config", config, "-section", "ts_section",
                                    "-queryfile", "/dev/stdin", "-inkey", signer + ".key", "-signer",
                                    signer + ".crt", "-chain", ca], input=query, stdout=subprocess.PIPE,
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


# --- running the scripts ----------------------------------------------------------------------

def script(clone, name, settings, *args):
    env = {key: value for key, value in os.environ.items() if not key.startswith("SIGN_")}
    env.update(settings)
    return run(["bash", os.path.join(clone, "scripts", name)] + list(args), env=env, check_rc=False)


def snapshot(folder):
    """Names, contents and modification times of everything under folder (None when missing)."""
    if not os.path.exists(folder):
        return None
    return {os.path.relpath(os.path.join(root, name), folder):
            (read(os.path.join(root, name)), os.stat(os.path.join(root, name)).st_mtime_ns)
            for root, _, names in os.walk(folder) for name in names}


def oss(*args):
    return run([OSSLSIGNCODE] + list(args), check_rc=False)


def check_release(out, clone, keys, what):
    """The published files: signature and timestamp verify, stripping and re-attaching
    give the reproducible build and the signed file back, SHA256SUMS holds."""
    exe, unsigned = os.path.join(out, "Setup.exe"), os.path.join(out, "Setup-unsigned.exe")
    root = keys["root"] + ".crt"
    verified = oss("verify", "-CAfile", root, "-TSA-CAfile", root, "-in", exe)
    check(verified.returncode == 0 and "Timestamp Server Signature verification: ok" in verified.stdout
          and "\nSignature verification: ok" in verified.stdout, what + ": signature and timestamp verify",
          verified.stdout + verified.stderr)
    check(read(unsigned) == read(os.path.join(clone, "build", "win32", "Setup.exe")),
          what + ": Setup-unsigned.exe is the reproducible build")
    stripped, attached = os.path.join(out, "..", "stripped.exe"), os.path.join(out, "..", "attached.exe")
    oss("remove-signature", "-in", exe, "-out", stripped)
    check(read(stripped) == read(unsigned), what + ": removing the signature gives Setup-unsigned.exe")
    oss("attach-signature", "-sigin", os.path.join(out, "Setup.exe.p7s"), "-CAfile", root, "-TSA-CAfile", root,
        "-in", unsigned, "-out", attached)
    check(read(attached) == read(exe), what + ": Setup.exe.p7s attached to Setup-unsigned.exe gives Setup.exe")
    sums = run(["sha256sum", "--strict", "-c", "SHA256SUMS"], cwd=out, check_rc=False)
    check(sums.returncode == 0, what + ": SHA256SUMS holds", sums.stdout + sums.stderr)
    return verified.stdout


def check_refused(clone, settings, out, what, expected, *args):
    before = snapshot(out)
    done = script(clone, "release.sh", settings, out, *args)
    check(done.returncode != 0 and expected in done.stderr, "%s: refused (%s)" % (what, expected),
          "rc=%d\n%s" % (done.returncode, done.stderr))
    check(snapshot(out) == before, what + ": OUTDIR unchanged")


# --- the rows ---------------------------------------------------------------------------------

def release_with_file(ctx):
    out = os.path.join(ctx["tmp"], "p12", "out")
    done = script(ctx["clone"], "release.sh", ctx["p12"], out)
    if not check(done.returncode == 0, "PKCS#12, local TSA: released", done.stdout + done.stderr):
        return
    check(sorted(os.listdir(out)) == ["SHA256SUMS", "Setup-unsigned.exe", "Setup.exe", "Setup.exe.p7s"],
          "PKCS#12: OUTDIR holds the four files", os.listdir(out))
    check_release(out, ctx["clone"], ctx["keys"], "PKCS#12")
    verified = script(ctx["clone"], "verify-release.sh", ctx["p12"], out)
    check(verified.returncode == 0, "PKCS#12: verify-release.sh passes", verified.stdout + verified.stderr)
    ctx["released"] = out


def release_refused(ctx):
    """Each failure leaves an OUTDIR that holds an earlier release as it was."""
    out, p12, build = ctx["released"], ctx["p12"], os.path.join(ctx["clone"], "build", "win32", "Setup.exe")
    check_refused(ctx["clone"], dict(p12, SIGN_PASS_FILE=ctx["keys"]["wrong-pass"]), out, "wrong password",
                  "osslsigncode sign failed")
    check_refused(ctx["clone"], dict(p12, SIGN_TS_URL=ctx["other_tsa"]), os.path.join(ctx["tmp"], "missing"),
                  "TSA not under SIGN_CAFILE (OUTDIR missing)", "the timestamp of")
    check_refused(ctx["clone"], dict(p12, SIGN_CAFILE=ctx["keys"]["other-root"] + ".crt"), out,
                  "signer not under SIGN_CAFILE", "the signature of")
    unsigned = read(build)
    shutil.copyfile(os.path.join(out, "Setup.exe"), build)  # newer than its objects: make keeps it
    try:
        check_refused(ctx["clone"], p12, out, "already-signed build", "signed already")
    finally:
        with open(build, "wb") as handle:
            handle.write(unsigned)
    stray = os.path.join(ctx["clone"], "stray.txt")
    with open(stray, "w") as handle:
        handle.write("not committed\n")
    try:
        check_refused(ctx["clone"], p12, out, "untracked file in the work tree", "untracked")
    finally:
        os.remove(stray)


def release_with_token(ctx):
    out = os.path.join(ctx["tmp"], "token", "out")
    closed = socket.socket()
    closed.bind(("127.0.0.1", 0))  # bound, not listening: a connection to it is refused
    try:
        settings = dict(ctx["token"], SIGN_TS_URL="http://127.0.0.1:%d/ %s" % (closed.getsockname()[1], ctx["tsa"]))
        done = script(ctx["clone"], "release.sh", settings, out)
    finally:
        closed.close()
    if check(done.returncode == 0, "SoftHSM token, first TSA URL refused, second answers: released", done.stdout + done.stderr):
        report = check_release(out, ctx["clone"], ctx["keys"], "token")
        check("Subject: /CN=token" in report, "token: signed by the token's certificate", report)


def forged_release(ctx):
    """verify-release.sh fails for releases whose SHA256SUMS holds but whose files are not the
    rebuild: Setup.exe and its p7s signing other bytes, then Setup-unsigned.exe forged too."""
    fake = os.path.join(ctx["tmp"], "other.exe")
    other = bytearray(read(os.path.join(ctx["released"], "Setup-unsigned.exe")))
    other[0x4E] ^= 0x20  # one letter of the DOS stub's message
    with open(fake, "wb") as handle:
        handle.write(other)
    for forged, expected in ((("Setup.exe", "Setup.exe.p7s"), "osslsigncode attach-signature failed"),
                             (("Setup.exe", "Setup.exe.p7s", "Setup-unsigned.exe"), "the rebuild differs")):
        out = os.path.join(ctx["tmp"], "forged-%d" % len(forged))
        shutil.copytree(ctx["released"], out)
        for name in forged:
            os.remove(os.path.join(out, name))
        oss("sign", "-pkcs12", ctx["keys"]["p12"], "-readpass", ctx["keys"]["pass"], "-h", "sha256", "-ts",
            ctx["tsa"], "-in", fake, "-out", os.path.join(out, "Setup.exe"))
        oss("extract-signature", "-pem", "-in", os.path.join(out, "Setup.exe"), "-out",
            os.path.join(out, "Setup.exe.p7s"))
        if "Setup-unsigned.exe" in forged:
            shutil.copyfile(fake, os.path.join(out, "Setup-unsigned.exe"))
        run(["sh", "-c", "sha256sum Setup.exe Setup-unsigned.exe Setup.exe.p7s >SHA256SUMS"], cwd=out)
        done = script(ctx["clone"], "verify-release.sh", ctx["p12"], out)
        check(done.returncode != 0 and expected in done.stderr,
              "forged %s: verify-release.sh fails (%s)" % (", ".join(forged), expected), done.stdout + done.stderr)


def release_with_package(ctx):
    clone, tmp = ctx["clone"], ctx["tmp"]
    package = os.path.join(tmp, "VQ2200-Driver")
    shutil.copytree(os.path.join(clone, "examples", "package"), package)
    with open(os.path.join(package, "setup.exe"), "wb") as handle:
        handle.write(b"an older launcher")
    out = os.path.join(tmp, "package", "out")
    if not os.path.isfile(os.path.join(clone, "scripts", "check-package.sh")):
        check_refused(clone, ctx["p12"], out, "--package without scripts/check-package.sh", "check-package.sh",
                      "--package", package)
        return
    before = snapshot(package)
    done = script(clone, "release.sh", ctx["p12"], out, "--package", package)
    if check(done.returncode == 0, "--package: released", done.stdout + done.stderr):
        sums = run(["sha256sum", "--strict", "-c", "SHA256SUMS"], cwd=out, check_rc=False)
        check(sums.returncode == 0 and "VQ2200-Driver.zip: OK" in sums.stdout, "--package: SHA256SUMS holds the zip",
              sums.stdout + sums.stderr)
        again = os.path.join(tmp, "again.zip")
        run(["python3", os.path.join(clone, "scripts", "package-zip.py"), package, os.path.join(out, "Setup.exe"),
             again])
        check(read(again) == read(os.path.join(out, "VQ2200-Driver.zip")), "--package: the zip is reproducible")
        zipped = zipfile.ZipFile(os.path.join(out, "VQ2200-Driver.zip"))
        expected = sorted(name for name in snapshot(package) if name != "setup.exe") + ["Setup.exe"]
        check(zipped.namelist() == sorted(expected), "--package: the zip holds the package files, sorted",
              zipped.namelist())
        check(zipped.read("Setup.exe") == read(os.path.join(out, "Setup.exe")), "--package: its Setup.exe is signed")
        check(all(zipped.read(name) == read(os.path.join(package, name)) for name in expected if name != "Setup.exe"),
              "--package: the package files are unchanged in it")
        check({info.date_time for info in zipped.infolist()} == {(1980, 1, 1, 0, 0, 0)}, "--package: fixed times")
    check(snapshot(package) == before, "--package: the package folder is unchanged")
    os.remove(os.path.join(package, "VQ2200.INF"))  # a listed file missing: an error of the package
    check_refused(clone, ctx["p12"], out, "--package with a failing check", "package check", "--package", package)


def signed_exe_starts(ctx):
    """The signed launcher still starts under Wine: run in a folder without a setup file, it
    shows its own box (or ends with 1619 when /quiet keeps it silent).  A file Wine would not
    load as a program ends at once with neither."""
    build = builds.choose_builds()[0]
    folder = os.path.join(ctx["tmp"], "wine")
    os.mkdir(folder)
    exe = os.path.join(folder, "Setup.exe")
    if build.name == "win32":
        shutil.copyfile(os.path.join(ctx["released"], "Setup.exe"), exe)
    else:  # this kernel runs no i386 program: a copy of the 64-bit build, signed the same way
        oss("sign", "-pkcs12", ctx["keys"]["p12"], "-readpass", ctx["keys"]["pass"], "-h", "sha256",
            "-ts", ctx["tsa"], "-in", build.setup_exe, "-out", exe)
    env = winenv.WineEnv(setup_exe=exe, prefix=os.path.join(REPO, "build", "release", "prefix"))
    try:
        env.start()
        process = env.spawn(["Setup.exe", "/quiet"], cwd=folder)
        shown = ui.report(env, 5000, exe="Setup.exe")
        result = env.finish(process, 5)
        check(bool(shown.windows) or result.returncode == 1619,
              "signed %s Setup.exe starts under Wine" % build.name, "%r %s %s" % (result, result.stderr[-500:],
                                                                                 shown.describe()))
    finally:
        env.close()


def main():
    os.umask(0o077)  # the keys, the PIN and the password stay private to this user
    tmp = tempfile.mkdtemp(prefix="release-test-", dir="/tmp")
    try:
        clone = os.path.join(tmp, "clone")
        run(["git", "clone", "-q", REPO, clone])
        print("testing the release scripts of %s" % run(["git", "-C", clone, "rev-parse", "HEAD"]).stdout.strip())
        keys_dir = os.path.join(tmp, "keys")
        os.mkdir(keys_dir)
        keys = make_keys(keys_dir)
        tsa = serve_tsa(keys, "tsa", keys["root"])
        ctx = {"tmp": tmp, "clone": clone, "keys": keys, "tsa": tsa,
               "other_tsa": serve_tsa(keys, "other-tsa", keys["other-root"]),
               "p12": {"SIGN_PKCS12": keys["p12"], "SIGN_PASS_FILE": keys["pass"],
                       "SIGN_CAFILE": keys["root"] + ".crt", "SIGN_TS_URL": tsa}}
        ctx["token"] = dict(make_token(keys_dir, keys), SIGN_CAFILE=keys["root"] + ".crt")
        for row in (release_with_file, release_refused, release_with_token, forged_release, release_with_package,
                    signed_exe_starts):
            if "released" not in ctx and row is not release_with_file:
                break  # the other rows start from the first release
            started = time.monotonic()
            row(ctx)
            print("-- %s: %.1f s" % (row.__name__, time.monotonic() - started))
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    print("release: %d passed, %d failed" % (RESULTS.count(True), RESULTS.count(False)))
    return 0 if RESULTS and all(RESULTS) else 1


if __name__ == "__main__":
    sys.exit(main())
