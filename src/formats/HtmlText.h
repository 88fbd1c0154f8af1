#pragma once

#include <QString>
#include <QStringView>

// What the platforms' HTML is to the paper, shared by the readers: which elements end a
// line, which are pictures or other media the paper cannot hold, which hold no text for
// the reader at all.
namespace htmltext {
// <p>, <div>, <li>, <h1>, <tr>, ...: the text goes on in a new line after and before them.
bool isBlock(QStringView element);
// <img>, <audio>, <video>, <object>, <iframe>, <embed>, <svg>, ...
bool isMedia(QStringView element);
// <script>, <style>, and the media that hold a fallback text: what is inside is not read.
bool hidesContent(QStringView element);
} // namespace htmltext

// An HTML text as plain text: paragraphs and <br> as line breaks, character references
// and the common named entities decoded, every tag dropped, comments and the content of
// scripts and media left out. Tolerant, as the HTML of question texts is not XML (<br>
// is never closed), and linear in the text's length whatever it holds.
struct HtmlAsText
{
    QString text;
    bool media = false; // a picture, a sound, an embedded object or a @@PLUGINFILE@@ file left out
};
HtmlAsText HtmlToPlainText(QStringView html);

// The character of an entity's name without & and ; ("amp", "#38", "#x26"); none (a null
// QString) when it is no entity this program knows or no character XML can hold.
QString DecodeHtmlEntity(QStringView name);
