"""What every release zip must hold to, whoever made it: SHA256SUMS.txt lists
every other file with its true hash; INSTALL.txt names every file and folder
at the top of the zip; and each .txt reads well in Notepad (CR LF lines, no
Markdown fences, links, images, headings, tables or bold) and names no file
that the user does not have. Each check returns a list of problems, empty
when all is well."""

import hashlib
import posixpath
import re
import zipfile

SUMS = "SHA256SUMS.txt"

SUM_LINE = re.compile(r"([0-9a-f]{64})  (\S.*)")
LINK = re.compile(r"!?\[[^\]\n]*\]\([^)\n]*\)")

# A word that names a file: a name with one of these extensions, or a path
# into one of the source tree's folders.
TOKEN = re.compile(r"[^\s`\"'()<>\[\]{},;*]+")
FILE_NAME = re.compile(r"[\w-][\w.-]*\.(dll|exe|ini|log|txt|md|py|c|h|cpp|ino|xml|csv|lib|svg|png|lua|sh|zip|json|cmake)",
                       re.IGNORECASE)
SOURCE_FOLDERS = {"docs", "tools", "scripts", "tests", "examples", "include", "build", "bench", "fuzz", "cmake",
                  "plugin", "bridge", "net", "settings"}
# Files the user has from elsewhere, or that the programs and the user make.
USER_FILES = re.compile(r"SimConnect\.(dll|lib)|VCRUNTIME140\.dll|exe\.xml|flight\.csv|receiver\.exe|[\w-]+\.log|"
                        r"[\w-]+\.report\.txt")


def sums_problems(z: zipfile.ZipFile):
    """SHA256SUMS.txt: one line per other file of the zip, as sha256sum writes it."""
    if SUMS not in z.namelist():
        return [f"no {SUMS}"]
    problems = []
    listed = {}
    for line in z.read(SUMS).decode("ascii").split("\r\n")[:-1]:
        match = SUM_LINE.fullmatch(line)
        if not match:
            problems.append(f"{SUMS}: not a 'HASH  NAME' line: {line!r}")
        elif match[2] in listed:
            problems.append(f"{SUMS}: {match[2]} listed twice")
        else:
            listed[match[2]] = match[1]
    for name in z.namelist():
        if name == SUMS:
            continue
        if name not in listed:
            problems.append(f"{SUMS}: {name} is not listed")
        elif listed.pop(name) != hashlib.sha256(z.read(name)).hexdigest():
            problems.append(f"{SUMS}: wrong hash for {name}")
    problems += [f"{SUMS}: lists {name}, which is not in the zip" for name in listed]
    return problems


def mentioned_files(text):
    """The words of text that name a file of the package or of the source tree.
    Paths with a backslash, %VARIABLE% or a drive are places on the user's PC."""
    for token in TOKEN.findall(text):
        token = token.rstrip(".:!?")
        if "\\" in token or token.startswith("%") or "://" in token or re.match(r"[A-Za-z]:", token):
            continue
        parts = token.split("/")
        if FILE_NAME.fullmatch(parts[-1]) or (len(parts) > 1 and parts[0] in SOURCE_FOLDERS):
            yield token


def in_zip(mention, names):
    """A mention is found when it is a file or folder of the zip, whole or as
    its last parts (a bare name, a path relative to a folder); the leading
    ./ and ../ of a relative path are left out."""
    path = "/" + posixpath.normpath(mention).lstrip("./") + "/"
    return any(path in "/" + name + "/" for name in names)


def text_problems(name, data, names):
    """A .txt of the zip: CR LF lines, plain text, and only files the user has."""
    problems = []
    if data.count(b"\n") != data.count(b"\r\n"):
        problems.append(f"{name}: a line does not end in CR LF")
    text = data.decode("utf-8")
    problems += [f"{name}: Markdown fence: {line.strip()!r}" for line in text.split("\r\n")
                 if line.lstrip().startswith("```")]
    problems += [f"{name}: Markdown link or image: {link!r}" for link in LINK.findall(text)]
    problems += [f"{name}: Markdown heading, table or bold: {line.strip()!r}" for line in text.split("\r\n")
                 if re.match(r"#+(\s|$)|\|", line) or "**" in line]
    for mention in mentioned_files(text):
        if not USER_FILES.fullmatch(mention.split("/")[-1]) and not in_zip(mention, names):
            problems.append(f"{name}: names {mention}, which is not in the zip")
    return problems


def unlisted_in_guide(z: zipfile.ZipFile, guide="INSTALL.txt"):
    """The guide's list of what the package holds names each file and folder
    at the top of the zip."""
    text = z.read(guide).decode("utf-8").replace("\r\n", "\n")
    lead_in = "This package holds:\n\n"
    if lead_in not in text:
        return [f"{guide}: has no list of what the package holds ({lead_in.strip()!r})"]
    listing = text.split(lead_in, 1)[1].split("\n\n", 1)[0]
    tops = sorted({name.split("/")[0] for name in z.namelist()})
    return [f"{guide}: does not name {top} in its list" for top in tops
            if not re.search(rf"`{re.escape(top)}[`/]", listing)]


def zip_problems(z: zipfile.ZipFile):
    """Every rule above, for the whole zip."""
    names = z.namelist()
    problems = sums_problems(z) + unlisted_in_guide(z)
    for name in names:
        if name.endswith(".txt"):
            problems += text_problems(name, z.read(name), names)
    return problems
