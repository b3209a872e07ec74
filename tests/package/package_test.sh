#!/usr/bin/env bash
# The release zip as a person downloads it: both programs, the guide and the notices, one version
# everywhere (the zip's name, the console tool's --version, the window's version resource), and
# each program under 4 MB. Needs the Windows build and Wine (run inside scripts/with-wine.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
zip=$(scripts/package.sh | tail -n 1)
version=$(basename "$zip" | sed -n 's/^tavrik-\(.*\)-win64\.zip$/\1/p')
[ -n "$version" ] || { echo "FAIL: unexpected zip name $zip" >&2; exit 1; }
python3 - "$zip" "$version" <<'PY'
import struct, sys, zipfile
zip_path, version = sys.argv[1], sys.argv[2]
top = f"tavrik-{version}-win64/"
with zipfile.ZipFile(zip_path) as archive:
    names = sorted(n for n in archive.namelist() if not n.endswith("/"))
    expected = sorted(top + n for n in ["NOTICES.txt", "README.txt", "tavrik-cli.exe", "tavrik.exe"])
    assert names == expected, names
    guide = archive.read(top + "README.txt").decode("utf-8-sig")
    assert "Проверить систему" in guide and "tavrik-cli" in guide, "the guide is not the guide"
    notices = archive.read(top + "NOTICES.txt").decode("utf-8-sig")
    for package in ("fortunes-ru", "manpages-ru", "hunspell-ru", "Alexander I. Lebedev"):
        assert package in notices, package
    for program in ("tavrik.exe", "tavrik-cli.exe"):
        size = archive.getinfo(top + program).file_size
        assert size < 4 * 1024 * 1024, f"{program}: {size} bytes"
    exe = archive.read(top + "tavrik.exe")
    info = exe.find(bytes.fromhex("bd04effe"))  # VS_FIXEDFILEINFO's signature
    assert info > 0, "no version resource"
    ms, ls = struct.unpack_from("<II", exe, info + 8)
    shown = f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}"
    assert shown == version, f"version resource {shown}, zip {version}"
    assert version.encode("utf-16-le") in exe, "no version string in the resource"
PY
cli=$(wine build/windows/app/cli/tavrik-cli.exe --version | tr -d '\r')
[ "$cli" = "tavrik-cli $version" ] || { echo "FAIL: --version says '$cli', zip $version" >&2; exit 1; }
echo "package: $zip, version $version everywhere"
