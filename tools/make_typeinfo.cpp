// Writes a valid installation-type record, so a freshly built editor starts without
// the "Type Information Error!" warning.  Usage: make_typeinfo PATH TYPE
#include "core/TypeInfoRecord.h"

#include <QSaveFile>
#include <cstdio>
#include <cstdlib>
#include <limits>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PATH INSTALLATION_TYPE\n", argv[0]);
        return 2;
    }
    char *end = nullptr;
    const long type = std::strtol(argv[2], &end, 10);
    if (*end != '\0' || type < std::numeric_limits<std::int16_t>::min()
        || type > std::numeric_limits<std::int16_t>::max()) {
        std::fprintf(stderr, "installation type must be a 16-bit integer: %s\n", argv[2]);
        return 2;
    }
    QSaveFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly)
        || file.write(TypeInfoRecord::validBytes(std::int16_t(type))) != TypeInfoRecord::Size
        || !file.commit()) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
