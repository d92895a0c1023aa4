#!/usr/bin/env python3
"""Seeds a Wine prefix with a realistic Add/Remove Programs list.

Usage: seed-demo.py PREFIX UNINSTALLER_EXE REG_OUT
       seed-demo.py --entries OUT

Creates program folders under PREFIX's drive C (uninstallers, program files
with icons) and writes REG_OUT, a regedit file with the Uninstall and
ARPCache entries, for `wine regedit /s REG_OUT`. Several entries are
phantoms: their uninstaller is missing from the disk on purpose. Some are
named in other scripts (Cyrillic, Japanese, Polish letters), and two keys
differ only by a letter that a code page's best fit would take for another.
With --entries it writes only the entries' keys, names and commands, for
tests that show the demo's rows.
"""
import getpass
import re
import zlib
import os
import shutil
import struct
import sys

UNINSTALL = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall"
USER_UNINSTALL = r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Uninstall"
ARPCACHE = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\App Management\ARPCache"

# Programs whose icons stand in for the demo products' own: Wine's builtin
# programs in the prefix carry real icon resources.
ICON_SOURCES = {
    "notepad": r"windows\system32\notepad.exe",
    "wordpad": r"Program Files\Windows NT\Accessories\wordpad.exe",
    "winemine": r"windows\system32\winemine.exe",
    "taskmgr": r"windows\system32\taskmgr.exe",
    "iexplore": r"windows\system32\iexplore.exe",
    "control": r"windows\system32\control.exe",
    "regedit": r"windows\regedit.exe",
    "cmd": r"windows\system32\cmd.exe",
    "winecfg": r"windows\system32\winecfg.exe",
    "explorer": r"windows\explorer.exe",
    "progman": r"windows\system32\progman.exe",
    "clock": r"windows\system32\clock.exe",
    "msinfo": r"windows\system32\msinfo32.exe",
    "dxdiag": r"windows\system32\dxdiag.exe",
}

# key, display name, uninstall command, display icon, files to create:
#   ("uninstaller", path) copies the demo uninstaller there,
#   ("program", path, icon source) copies an icon-bearing program there.
ENTRIES = [
    ("Brightleaf Photo Studio_is1", "Brightleaf Photo Studio 4.2",
     r'"C:\Program Files\Brightleaf\Photo Studio\unins000.exe"',
     r"C:\Program Files\Brightleaf\Photo Studio\photostudio.exe",
     [("uninstaller", r"Program Files\Brightleaf\Photo Studio\unins000.exe"),
      ("program", r"Program Files\Brightleaf\Photo Studio\photostudio.exe", "wordpad")]),
    ("Kestrel Mail", "Kestrel Mail 2.0",
     r"C:\Program Files\Kestrel Mail\uninstall.exe",
     r"C:\Program Files\Kestrel Mail\kestrel.exe,0",
     [("uninstaller", r"Program Files\Kestrel Mail\uninstall.exe"),
      ("program", r"Program Files\Kestrel Mail\kestrel.exe", "notepad")]),
    # An older version left its entry behind under another key: same name.
    ("Kestrel Mail 1.9", "Kestrel Mail 2.0",
     r"C:\Program Files\Kestrel Mail 1.9\uninstall.exe",
     r"C:\Program Files\Kestrel Mail 1.9\kestrel.exe,0", []),
    ("{6F3A2C11-8B7D-4E2A-9C51-0D1E2F3A4B5C}", "Northwind Media Player 11",
     r"MsiExec.exe /X{6F3A2C11-8B7D-4E2A-9C51-0D1E2F3A4B5C}",
     r"C:\Program Files\Northwind\Media Player\nwplayer.exe",
     [("program", r"Program Files\Northwind\Media Player\nwplayer.exe", "iexplore")]),
    ("{A1B2C3D4-1111-2222-3333-444455556666}", "Ostrander PDF Reader 9",
     r'"C:\Program Files\InstallShield Installation Information\{A1B2C3D4-1111-2222-3333-444455556666}\setup.exe" -runfromtemp -l0x0409 -removeonly',
     r"C:\Program Files\Ostrander\PDF Reader\reader.exe,0",
     [("uninstaller", r"Program Files\InstallShield Installation Information\{A1B2C3D4-1111-2222-3333-444455556666}\setup.exe"),
      ("program", r"Program Files\Ostrander\PDF Reader\reader.exe", "progman")]),
    ("TidewaterFonts", "Tidewater Font Pack",
     r"RunDll32 advpack.dll,LaunchINFSection C:\WINDOWS\INF\tidefont.inf,DefaultUninstall",
     "", []),
    ("GranitePrinter", "Granite LX-300 Printer Driver",
     r"C:\WINDOWS\system32\rundll32.exe setupapi.dll,InstallHinfSection DefaultUninstall 132 C:\WINDOWS\INF\granite.inf",
     r"C:\WINDOWS\system32\control.exe", []),
    ("Quill Notes", "Quill Notes 3",
     r"%ProgramFiles%\Quill Notes\uninst.exe",
     r"C:\Program Files\Quill Notes\quill.exe",
     [("uninstaller", r"Program Files\Quill Notes\uninst.exe"),
      ("program", r"Program Files\Quill Notes\quill.exe", "clock")]),
    ("Harborline VPN", "Harborline VPN Client",
     r"\\fileserver\apps\harborline\uninstall.exe /S", "", []),
    ("Cobalt Utilities_is1", "Cobalt Utilities, Deluxe Edition",
     r'"C:\Program Files\Cobalt, Inc\Utilities\unins000.exe"',
     r'"C:\Program Files\Cobalt; Utilities\cobalt.exe"',
     [("uninstaller", r"Program Files\Cobalt, Inc\Utilities\unins000.exe")]),
    ("Larkspur Launcher", "Larkspur Game Launcher",
     r"D:\Games\Larkspur\uninstall.exe", r"D:\Games\Larkspur\launcher.exe", []),
    ("Minefield Deluxe_is1", "Minefield Deluxe",
     r'"C:\Program Files\Minefield Deluxe\unins000.exe"',
     r"C:\Program Files\Minefield Deluxe\minefield.exe",
     [("uninstaller", r"Program Files\Minefield Deluxe\unins000.exe"),
      ("program", r"Program Files\Minefield Deluxe\minefield.exe", "winemine")]),
    ("Sparrow Chat_is1", "Sparrow Chat 1.4",
     r'"C:\Program Files\Sparrow Chat\unins000.exe"',
     r"C:\Program Files\Sparrow Chat\sparrow.exe", []),
    ("WebBar", "WebBar Toolbar for Browsers",
     r"C:\Program Files\WebBar\uninstall.exe", "", []),
    ("Meridian Backup", "Meridian Backup 5",
     r'"C:\Program Files\Meridian\Backup 5\uninst.exe" /uninstall',
     r"C:\Program Files\Meridian\Backup 5\backup.exe", []),
    ("TrialGuard 2019", "TrialGuard Antivirus 2019 (trial)",
     r"C:\Program Files\TrialGuard\uninstall.exe /remove",
     r"C:\Program Files\TrialGuard\tg.ico", []),
    ("Pelican Task Monitor", "Pelican Task Monitor",
     r'"C:\Program Files\Pelican\Task Monitor\uninstall.exe"',
     r"C:\Program Files\Pelican\Task Monitor\taskmon.exe",
     [("uninstaller", r"Program Files\Pelican\Task Monitor\uninstall.exe"),
      ("program", r"Program Files\Pelican\Task Monitor\taskmon.exe", "taskmgr")]),
    ("Summit Registry Tools", "Summit Registry Tools 2.1",
     r"C:\Program Files\Summit\Registry Tools\uninst.exe",
     r"C:\Program Files\Summit\Registry Tools\summit.exe",
     [("uninstaller", r"Program Files\Summit\Registry Tools\uninst.exe"),
      ("program", r"Program Files\Summit\Registry Tools\summit.exe", "regedit")]),
    ("Terminal Plus", "Terminal Plus",
     r'"C:\Program Files\Terminal Plus\unins000.exe"', "",
     [("uninstaller", r"Program Files\Terminal Plus\unins000.exe"),
      ("program", r"Program Files\Terminal Plus\tplus.exe", "cmd")]),
    ("Fjord System Info", "Fjord System Information",
     r'"C:\Program Files\Fjord\SysInfo\uninstall.exe"',
     r"C:\Program Files\Fjord\SysInfo\sysinfo.exe,0",
     [("uninstaller", r"Program Files\Fjord\SysInfo\uninstall.exe"),
      ("program", r"Program Files\Fjord\SysInfo\sysinfo.exe", "msinfo")]),
    ("Aurora DirectX Tools", "Aurora DirectX Diagnostics",
     r"C:\Program Files\Aurora\DX Tools\uninstall.exe",
     r"C:\Program Files\Aurora\DX Tools\dxtools.exe",
     [("uninstaller", r"Program Files\Aurora\DX Tools\uninstall.exe"),
      ("program", r"Program Files\Aurora\DX Tools\dxtools.exe", "dxdiag")]),
    ("_OldBeta", "_Beta build (do not use)",
     r"C:\Temp\beta\uninstall.exe", "", []),
    # A folder with a comma, unquoted: the command still names its file.
    ("Acme Toolbox", "Acme Toolbox 7",
     r"C:\Program Files\Acme, Inc\Toolbox\uninst.exe /S", "",
     [("uninstaller", r"Program Files\Acme, Inc\Toolbox\uninst.exe")]),
    ("Lumen Settings Helper", "Lumen Settings Helper",
     r"C:\Program Files\Lumen\helper.exe /uninstall", "",
     [("uninstaller", r"Program Files\Lumen\helper.exe")]),
    # Names in other scripts, as Windows stores them (UTF-16): a Cyrillic key
    # with a Japanese name, installed in a folder with Polish letters.
    ("Фотоальбом", "写真アルバム Фото 2",
     r'"C:\Program Files\Żółw Studio\Album\unins000.exe"',
     r"C:\Program Files\Żółw Studio\Album\album.exe",
     [("uninstaller", r"Program Files\Żółw Studio\Album\unins000.exe"),
      ("program", r"Program Files\Żółw Studio\Album\album.exe", "clock")]),
    # Two keys that only a best-fit code page would take for one.
    ("Zolw Editor", "Zolw Editor 1.0",
     r"C:\Program Files\Zolw Editor\uninst.exe", "",
     [("uninstaller", r"Program Files\Zolw Editor\uninst.exe")]),
    ("Zołw Editor", "Zołw Editor 2.0",
     r"C:\Program Files\Zołw Editor\uninst.exe", "",
     [("uninstaller", r"Program Files\Zołw Editor\uninst.exe")]),
    # A real phantom in a folder no code page holds.
    ("工具箱", "工具箱 Toolbox (Ω edition)",
     r"C:\Tools\工具\uninst.exe", "", []),
    # Shapes that get no row: an update without a name, a name without a command.
    ("KB2918614", "", r"C:\WINDOWS\$NtUninstallKB2918614$\spuninst\spuninst.exe", "", []),
    ("Stray Runtime", "Stray Runtime 1.0", "", "", []),
]

# Per-user installs, listed under the user's own Uninstall key; {user} is
# the Wine user's folder name.
USER_ENTRIES = [
    ("Driftwood Sync", "Driftwood Sync 3.1",
     r'"C:\users\{user}\AppData\Local\Programs\Driftwood Sync\Uninstall Driftwood Sync.exe" /currentuser',
     r"C:\users\{user}\AppData\Local\Programs\Driftwood Sync\Driftwood Sync.exe,0",
     [("uninstaller", r"users\{user}\AppData\Local\Programs\Driftwood Sync\Uninstall Driftwood Sync.exe"),
      ("program", r"users\{user}\AppData\Local\Programs\Driftwood Sync\Driftwood Sync.exe", "winecfg")]),
    # A folder with a letter that code page 1252 lacks: present, not red.
    ("Łódź Maps", "Łódź Maps 5",
     r'"C:\users\{user}\AppData\Local\Programs\Łódź Maps\uninstall.exe"', "",
     [("uninstaller", r"users\{user}\AppData\Local\Programs\Łódź Maps\uninstall.exe")]),
    ("PineconeNotes", "Pinecone Notes",
     r'"C:\users\{user}\AppData\Local\PineconeNotes\Update.exe" --uninstall', "", []),
]

# Entries without "DisplayIcon" whose icon comes from the cached record.
ARP_CACHE = {
    "Terminal Plus": r"C:\Program Files\Terminal Plus\tplus.exe",
}


def win_to_host(prefix, path):
    return os.path.join(prefix, "drive_c", *path.split("\\"))


def reg_text(value):
    return '"' + value.replace("\\", "\\\\").replace('"', '\\"') + '"'


def details(key, name):
    """The columns Programs and Features shows, made up but steady: the
    publisher from the name's first word, the version from its last number,
    an install date in the last two years and a size; one entry in seven
    gives no date and one in five no size, as real entries often do."""
    seed = zlib.crc32(key.encode("utf-8"))
    words = name.strip("_ ").split()
    values = {"Publisher": (words[0] + (" Software" if seed % 3 else ", Inc.")) if words else ""}
    version = re.findall(r"\d+(?:\.\d+)*", name)
    values["DisplayVersion"] = (version[-1] if version else "1.0") + ("" if seed % 2 else ".%d" % (seed % 900 + 100))
    if seed % 7:
        day = (seed >> 3) % 640
        year, month, mday = 2025 + day // 336, 1 + (day % 336) // 28, 1 + day % 28
        values["InstallDate"] = "%04d%02d%02d" % (year, month, mday)
    size = None if (seed >> 5) % 5 == 0 else (seed >> 8) % 3000000 + 120
    return values, size


def slow_info_cache(file_name):
    # 28 bytes of header, then the program's file name in UTF-16LE.
    header = struct.pack("<II", 0x230, 1) + b"\0" * 20
    return header + file_name.encode("utf-16-le") + b"\0\0"


def for_user(entry):
    user = getpass.getuser()
    key, name, command, icon, files = entry
    return (key, name, command.format(user=user), icon.format(user=user),
            [(item[0], item[1].format(user=user)) + tuple(item[2:]) for item in files])


def write_entries(out_path):
    """The entries' keys, names and commands, one per line separated by tabs
    (UTF-8), for tests that show the demo's rows without a demo prefix."""
    rows = [e for e in ENTRIES + [for_user(e) for e in USER_ENTRIES] if e[1] and e[2]]
    with open(out_path, "w", encoding="utf-8", newline="") as out:
        out.write("".join("%s\t%s\t%s\n" % (key, name, command) for key, name, command, _, _ in rows))


def main():
    if sys.argv[1:2] == ["--entries"]:
        write_entries(sys.argv[2])
        return
    prefix, uninstaller, reg_out = sys.argv[1:4]
    entries = [(UNINSTALL, e) for e in ENTRIES] + [(USER_UNINSTALL, for_user(e)) for e in USER_ENTRIES]
    for _, (key, name, command, icon, files) in entries:
        for item in files:
            target = win_to_host(prefix, item[1])
            os.makedirs(os.path.dirname(target), exist_ok=True)
            source = uninstaller if item[0] == "uninstaller" else win_to_host(prefix, ICON_SOURCES[item[2]])
            shutil.copyfile(source, target)

    lines = ["Windows Registry Editor Version 5.00", ""]
    for root, (key, name, command, icon, files) in entries:
        lines.append("[%s\\%s]" % (root, key))
        if name:
            lines.append('"DisplayName"=' + reg_text(name))
        if command:
            lines.append('"UninstallString"=' + reg_text(command))
        if icon:
            lines.append('"DisplayIcon"=' + reg_text(icon))
        # Two in three of the uninstallers that are there can run quietly,
        # as their makers say in QuietUninstallString.
        there = [item[1] for item in files if item[0] == "uninstaller"]
        if name and there and zlib.crc32(key.encode("utf-8")) % 3:
            lines.append('"QuietUninstallString"=' + reg_text('"C:\\%s" /quiet' % there[0]))
        if name and command:
            values, size = details(key, name)
            for value_name, value in values.items():
                if value:
                    lines.append('"%s"=%s' % (value_name, reg_text(value)))
            if size is not None:
                lines.append('"EstimatedSize"=dword:%08x' % size)
        lines.append("")
    for key, file_name in ARP_CACHE.items():
        data = ",".join("%02x" % b for b in slow_info_cache(file_name))
        lines.append("[%s\\%s]" % (ARPCACHE, key))
        lines.append('"SlowInfoCache"=hex:' + data)
        lines.append("")
    with open(reg_out, "w", encoding="utf-16") as out:
        out.write("\r\n".join(lines) + "\r\n")


if __name__ == "__main__":
    main()
