#pragma once

#include "core/AnswerEncoding.h"
#include "widgets/FittedDialog.h"

#include <QRect>
#include <QSize>
#include <array>
#include <cstdint>

class QAbstractButton;
class QGroupBox;
class QLabel;
class QPushButton;
struct SharedState;

// Where the controls that both answer sheets share sit, in twips.
struct QuickSheetDesign
{
    QSize client;
    QRect label2;
    QRect label4;
    QRect label1;
    QRect labelPage;
    QRect commandUp;
    QRect commandDown;
    QRect commandOk;
};

// The paged answer sheet of a quick paper: twenty question rows of six boxes, made
// once and relabelled for every page. The answers live in the shared QuickAnswers,
// which every load clears; OK confirms them, the close box leaves them unconfirmed.
// The two sheets differ in their boxes and in how a row shows and takes an answer.
class QuickSheetBase : public FittedDialog
{
    Q_OBJECT
public:
    static constexpr int RowsPerPage = 20;
    static constexpr int BoxesPerRow = 6;
    static constexpr int BoxCount = RowsPerPage * BoxesPerRow;

    std::int16_t currentPage() const { return CurrentPage; }
    std::int16_t pageCount() const { return PageCount; }
    std::int16_t lastPageRows() const { return LastPageRows; }

    void CommandUP_Click();
    void CommandDown_Click();
    void CommandOK_Click();

protected:
    QuickSheetBase(SharedState &state, const QuickSheetDesign &design, QWidget *parent);

    // Takes box k of the sheet (row k / 6, letter k mod 6); its toggles run
    // OptionAnswer_Click(k) unless a page is being shown.
    void addOptionAnswer(int k, QAbstractButton *box);
    // Run by each sheet's constructor once all its boxes exist.
    void Form_Load();
    void ShowPage(std::int16_t p);

    // Shows the answer of question q in row i (visible already).
    virtual void showRow(int i, int q) = 0;
    virtual void OptionAnswer_Click(int k) = 0;

    int questionOfRow(int row) const { return (CurrentPage - 1) * RowsPerPage + row + 1; }
    AnswerMask &answerOf(int questionNo);

    SharedState &state_;

    QGroupBox *Frame1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label4 = nullptr;
    std::array<QGroupBox *, RowsPerPage> FrameItem{};
    std::array<QLabel *, RowsPerPage> LabelNo{};
    std::array<QAbstractButton *, BoxCount> OptionAnswer{};
    QLabel *Label1 = nullptr;
    QLabel *LabelPage = nullptr;
    QPushButton *CommandUP = nullptr;
    QPushButton *CommandDown = nullptr;
    QPushButton *CommandOK = nullptr;

private:
    void createControls(const QuickSheetDesign &design);
    void turnPageFromKeyboard(void (QuickSheetBase::*turn)());

    std::int16_t CurrentPage = 1;
    std::int16_t PageCount = 1;
    std::int16_t LastPageRows = 1;
    bool showingPage_ = false;
};
