"""Unpacks a zip archive into a folder with python's zipfile, a zip reader independent of
libzip, and prints as JSON each entry's name, compression method and size, and the first
entry whose checksum is wrong (null when every one is right)."""
import json
import sys
import zipfile


def main(archive, folder):
    with zipfile.ZipFile(archive) as package:
        bad = package.testzip()
        entries = [{"name": info.filename, "method": info.compress_type,
                    "size": info.file_size} for info in package.infolist()]
        package.extractall(folder)
    json.dump({"entries": entries, "bad": bad}, sys.stdout)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
