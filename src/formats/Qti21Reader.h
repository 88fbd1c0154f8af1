#pragma once

#include "formats/PlatformImport.h"

// A QTI 2.1 content package (a .zip, its bytes starting "PK") or a single assessmentItem
// document as a paper. Follows the IMS Question and Test Interoperability Assessment Test,
// Section, and Item Information Model v2.1 and its XML binding, the v2.1 Integration Guide
// and IMS Content Packaging v1.1.4, as WriteQti21Package does (Qti21.h), and reads back
// what it writes. A package's imsmanifest.xml lists its resources: when it lists tests
// (type imsqti_test_xmlv2p1), their items in the tests' order, each with its reference's
// <timeLimits maxTime="N"/> as the time limit; else its items (imsqti_item_xmlv2p1) in the
// manifest's order. Items are read as Qti21ItemReader.h says. Refused, naming the part and
// line, when a part is no well-formed XML, declares a DOCTYPE, inflates beyond its cap or
// is missing, when the package lists more than MaxQti21Items items, or when the questions
// break the paper's rules (BuildImportedPaper).
Result<PlatformImport> ReadQti21(QByteArrayView bytes, const ImportDefaults &defaults);

// Items read from one package at most; a paper holds 250 questions, and a package may
// hold items of other kinds beside them.
inline constexpr int MaxQti21Items = 1000;
