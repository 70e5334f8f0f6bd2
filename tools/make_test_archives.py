#!/usr/bin/env python3
"""A tiny test game and the archives and disc images it came in, made from nothing.

    tools/make_test_archives.py FOLDER
    tools/make_test_archives.py --large FOLDER   (for bench/: a 50 MB ZIP and a 50 MB LZH)

Writes FOLDER/game/ (the game as a plain folder) and beside it the same game packed as
the download sites and CD-ROMs of the time had it, plus hostile archives that try to
write outside the folder they are unpacked into. FOLDER/manifest.txt lists what was made,
one "kind name" a line ("game", "skip" when a tool is missing, "hostile").

The game's names are Japanese, with a 0x5C byte as the second byte of a CP932 character
("ソ", "表", "能"), one script in a subfolder: wnatu.QOV sets values, loads
"表示\\ソース", which loads "能力", which saves and exits. A name mangled anywhere on the
way ends the game before its save.

Needs Python 3; the LZH archives need jlha-utils (Java), the 7z archive p7zip-full, the
ISO image xorriso. Nothing is downloaded.
"""

import bz2
import io
import os
import shutil
import subprocess
import sys
import tarfile
import zipfile

SCRIPTS = {
    "wnatu.QOV": ["LET,1,7", "ITMS,3,2,ソースの鍵", "ACMLD,表示\\ソース"],
    "表示/ソース.QOV": ["LET,2,12", "ACMLD,能力"],
    "能力.QOV": ["INC,3,05", "SAVE", "EXIT"],
}
# Text that packs well, so that the LZH tools really compress (-lh5-).
README = ("このゲームは書庫のテストのためのものです。表示、能力、ソース。\r\n" * 40).encode("cp932")


def script_bytes(lines):
    return "".join(line + "\r\n" for line in lines).encode("cp932")


def write_game(folder):
    for name, lines in SCRIPTS.items():
        path = os.path.join(folder, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(script_bytes(lines))
    with open(os.path.join(folder, "説明.txt"), "wb") as f:
        f.write(README)


def game_files():
    """(name, bytes) of the game, its folders first."""
    files = [(name, script_bytes(lines)) for name, lines in SCRIPTS.items()]
    files.append(("説明.txt", README))
    return files


class Cp932Info(zipfile.ZipInfo):
    """An entry whose name is written as CP932 bytes without the UTF-8 flag."""

    __slots__ = ("raw",)

    def _encodeFilenameFlags(self):
        return self.raw, self.flag_bits & ~0x800


def cp932_zip(path, top):
    """Names in CP932 bytes and no UTF-8 flag, as Japanese Windows wrote them; every method."""
    methods = [zipfile.ZIP_STORED, zipfile.ZIP_DEFLATED, zipfile.ZIP_BZIP2, zipfile.ZIP_LZMA]
    with zipfile.ZipFile(path, "w") as z:
        for i, (name, data) in enumerate(game_files()):
            info = Cp932Info(top + "/" + name, date_time=(1998, 8, 1, 12, 0, 0))
            info.compress_type = methods[i % len(methods)]
            info.raw = info.filename.encode("cp932")
            z.writestr(info, data)


def utf8_zip(path):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in game_files():
            z.writestr(zipfile.ZipInfo(name, date_time=(2004, 4, 1, 9, 0, 0)), data)


def run(args, cwd, env=None):
    subprocess.run(args, cwd=cwd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   env=env)


def lzh(path, game_parent, level):
    # jlha writes names in the encoding it is told: CP932, as LHA for Windows did.
    run(["java", "-Dlha.encoding=MS932", "-jar", "/usr/share/java/jlhafrontend.jar",
         "c%do5q" % level, os.path.abspath(path), "game"], cwd=game_parent)
    with open(path, "rb") as f:
        if b"-lh5-" not in f.read():
            raise SystemExit(path + ": jlha did not write -lh5- entries")


def utf8_env():
    return dict(os.environ, LC_ALL="C.UTF-8")


def seven_zip(path, game_parent):
    run(["7z", "a", "-t7z", "-bd", os.path.abspath(path), "game"], cwd=game_parent, env=utf8_env())


def tar_xz(path, game_parent):
    with tarfile.open(path, "w:xz", format=tarfile.PAX_FORMAT) as t:
        t.add(os.path.join(game_parent, "game"), arcname="game")


def iso(path, game_parent):
    # Joliet only, no Rock Ridge: the names are Joliet's UTF-16.
    run(["xorriso", "-as", "mkisofs", "-input-charset", "UTF-8", "-J", "-V", "QOVTEST", "-o",
         os.path.abspath(path), "game"], cwd=game_parent, env=utf8_env())


def tar_entry(t, name, kind=tarfile.REGTYPE, data=b"", link=""):
    info = tarfile.TarInfo(name)
    info.type = kind
    info.linkname = link
    info.size = len(data) if kind == tarfile.REGTYPE else 0
    info.mtime = 946684800
    t.addfile(info, io.BytesIO(data) if kind == tarfile.REGTYPE else None)


def hostile_tar(path, escaped, extra):
    """The game, then entries that try to land outside the folder."""
    with tarfile.open(path, "w", format=tarfile.GNU_FORMAT) as t:
        for name, data in game_files():
            tar_entry(t, name, data=data)
        extra(t, escaped)


def make_hostile(out, made):
    escaped = os.path.join(out, "escaped")  # nothing may ever appear in here
    outside = os.path.join(out, "outside.txt")  # nor may this change
    with open(outside, "wb") as f:
        f.write(b"original\n")
    cases = {
        "dotdot.tar": lambda t, e: tar_entry(t, "../dotdot-x", data=b"x")
        or tar_entry(t, "game/../../dotdot-y", data=b"y"),
        "absolute.tar": lambda t, e: tar_entry(t, os.path.join(e, "absolute"), data=b"a"),
        "symlink.tar": lambda t, e: tar_entry(t, "root", tarfile.SYMTYPE, link="/")
        or tar_entry(t, "up", tarfile.SYMTYPE, link=e)
        or tar_entry(t, "up/through-link", data=b"s")
        or tar_entry(t, "inside", tarfile.SYMTYPE, link="表示/ソース.QOV"),
        "hardlink.tar": lambda t, e: tar_entry(t, "hard", tarfile.LNKTYPE, link=outside)
        or tar_entry(t, "hard", data=b"changed\n")
        or tar_entry(t, "hard2", tarfile.LNKTYPE, link="../outside.txt")
        or tar_entry(t, "copy.QOV", tarfile.LNKTYPE, link="wnatu.QOV"),
        "special.tar": lambda t, e: tar_entry(t, "fifo", tarfile.FIFOTYPE)
        or tar_entry(t, "null", tarfile.CHRTYPE),
    }
    for name, extra in cases.items():
        hostile_tar(os.path.join(out, name), escaped, extra)
        made.append("hostile " + name)
    # 64 MiB of zeros packed by bzip2 to a few hundred bytes: over 10,000 to 1.
    with zipfile.ZipFile(os.path.join(out, "bomb.zip"), "w") as z:
        for name, data in game_files():
            z.writestr(name, data)
        z.writestr(zipfile.ZipInfo("zeros.bin"), b"\0" * (64 << 20), zipfile.ZIP_BZIP2)
    made.append("hostile bomb.zip")
    with open(os.path.join(out, "utf8.zip"), "rb") as f:
        whole = f.read()
    with open(os.path.join(out, "cut.zip"), "wb") as f:
        f.write(whole[: len(whole) // 2])
    with open(os.path.join(out, "tar.xz"), "rb") as f:
        whole = f.read()
    with open(os.path.join(out, "cut.tar.xz"), "wb") as f:
        f.write(whole[: len(whole) // 2])
    with open(os.path.join(out, "text.zip"), "wb") as f:
        f.write("これは書庫ではありません。\r\n".encode("cp932") * 20)
    made += ["hostile cut.zip", "hostile cut.tar.xz", "hostile text.zip"]


def make_large(out):
    """A game of about 50 MB packed, as a large game of the time was: pictures and sounds that
    pack little (random bytes stand for them), text and tables that pack well."""
    import random

    rng = random.Random(18)
    parent = os.path.join(out, "large-source")
    game = os.path.join(parent, "game")
    write_game(game)
    os.makedirs(os.path.join(game, "画像"), exist_ok=True)
    for i in range(185):
        with open(os.path.join(game, "画像", "絵%03d.SZG" % i), "wb") as f:
            f.write(rng.randbytes(256 * 1024))
        table = "".join("%d,%d,%s\r\n" % (i, j, "表" * (j % 7)) for j in range(4000))
        with open(os.path.join(game, "表%03d.txt" % i), "wb") as f:
            f.write(table.encode("cp932"))
    with zipfile.ZipFile(os.path.join(out, "large.zip"), "w", zipfile.ZIP_DEFLATED) as z:
        for folder, _, files in os.walk(game):
            for name in sorted(files):
                path = os.path.join(folder, name)
                z.write(path, os.path.relpath(path, parent))
    lzh(os.path.join(out, "large.lzh"), parent, 2)
    shutil.rmtree(parent)


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--large":
        os.makedirs(sys.argv[2], exist_ok=True)
        make_large(sys.argv[2])
        return
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    out = sys.argv[1]
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    parent = os.path.join(out, "source")
    write_game(os.path.join(parent, "game"))
    shutil.copytree(os.path.join(parent, "game"), os.path.join(out, "game"))
    made = []
    packers = [
        ("cp932.zip", lambda p: cp932_zip(p, "ソフト"), None),
        ("utf8.zip", utf8_zip, None),
        ("level1.lzh", lambda p: lzh(p, parent, 1), "java"),
        ("level2.lzh", lambda p: lzh(p, parent, 2), "java"),
        ("game.7z", lambda p: seven_zip(p, parent), "7z"),
        ("tar.xz", lambda p: tar_xz(p, parent), None),
        ("joliet.iso", lambda p: iso(p, parent), "xorriso"),
    ]
    for name, pack, tool in packers:
        if tool and shutil.which(tool) is None:
            made.append("skip " + name + " (no " + tool + ")")
            continue
        pack(os.path.join(out, name))
        made.append("game " + name)
    make_hostile(out, made)
    with open(os.path.join(out, "manifest.txt"), "w") as f:
        f.write("\n".join(made) + "\n")


if __name__ == "__main__":
    main()
