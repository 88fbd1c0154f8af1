#include "paper/XmlFirstElement.h"

namespace {
bool isNameCharacter(char c)
{
    return c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '>' && c != '/';
}
} // namespace

QByteArray FirstXmlElementName(QByteArrayView bytes)
{
    qsizetype at = 0;
    while (at < bytes.size()) {
        at = bytes.indexOf('<', at);
        if (at < 0 || at + 1 >= bytes.size())
            return {};
        const char next = bytes[at + 1];
        if (next == '?') { // the declaration, or a processing instruction
            at = bytes.indexOf("?>", at + 2);
        } else if (bytes.sliced(at).startsWith("<!--")) {
            at = bytes.indexOf("-->", at + 4);
        } else if (next == '!') { // a DOCTYPE: the reader refuses the file
            at = bytes.indexOf('>', at + 2);
        } else {
            qsizetype end = at + 1;
            while (end < bytes.size() && isNameCharacter(bytes[end]))
                ++end;
            QByteArrayView name = bytes.sliced(at + 1, end - at - 1);
            if (const qsizetype colon = name.lastIndexOf(':'); colon >= 0)
                name = name.sliced(colon + 1);
            return name.toByteArray();
        }
        if (at < 0)
            return {};
    }
    return {};
}
