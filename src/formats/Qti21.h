#pragma once

#include "formats/PlatformExport.h"
#include "formats/ZipInMemory.h"

// The paper as an IMS QTI 2.1 content package: a zip of
//   imsmanifest.xml    the IMS Content Packaging 1.1.4 manifest: one resource of type
//                      imsqti_test_xmlv2p1 for test.xml, depending on one resource of type
//                      imsqti_item_xmlv2p1 for each question's file;
//   test.xml           an assessmentTest named after the paper: one testPart (linear,
//                      individual submission) with one assessmentSection whose
//                      assessmentItemRefs follow the paper's order, each with the
//                      question's time limit as <timeLimits maxTime="seconds"/>, and a
//                      SCORE that sums the items' scores;
//   question-N.xml     an assessmentItem per question: the title as a paragraph (line
//                      breaks as <br/>), a choiceInteraction (no shuffling; maxChoices 1
//                      for one right letter, 0 for several) of the offered options in
//                      order, identified by their letters, the right letters as the
//                      correct response, and the question's mark as its SCORE when the
//                      response matches.
// Written from the IMS Question and Test Interoperability Assessment Test, Section, and
// Item Information Model v2.1 and its XML binding (namespace
// http://www.imsglobal.org/xsd/imsqti_v2p1), the v2.1 Integration Guide for the package,
// and IMS Content Packaging v1.1.4 (namespace http://www.imsglobal.org/xsd/imscp_v1p1).
// Questions without a right option are left out, and control characters (which XML
// cannot hold) left out of the texts; both are listed in the losses.
PlatformExport WriteQti21Package(const QuestionTable &paper, const QString &paperName);

// Many papers in one package, added in turn: each paper's test and items in a folder of
// its own ("paper-1/test.xml", "paper-1/question-1.xml"), every test in the manifest.
// With inFolders false (one paper), its files are at the top, as above.
class Qti21Package
{
public:
    explicit Qti21Package(bool inFolders = true);
    // Adds the paper's test and items; returns what could not be carried.
    QStringList add(const QuestionTable &paper, const QString &paperName);
    // The finished package, or why it could not be made (in failure).
    PlatformExport finish();

    struct TestFiles
    {
        QString test;
        QStringList items;
    };

private:
    bool inFolders_;
    QList<ZipEntry> parts_;
    QList<TestFiles> tests_;
};
