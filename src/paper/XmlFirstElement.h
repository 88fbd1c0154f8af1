#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The name of an XML document's first element, without its namespace prefix ("quiz",
// "assessmentItem"), found past the declaration, comments and processing instructions
// in the bytes given; empty when there is none among them.
QByteArray FirstXmlElementName(QByteArrayView bytes);
