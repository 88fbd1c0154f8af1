#pragma once

#include "widgets/CommonDialog.h"
#include "editor/FormPaperLayout.h"
#include "core/SharedState.h"

#include <QMessageBox>
#include <QWidget>
#include <array>

class DataNavigator;
class ModalSeam;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QTimer;
class QuestionGridModel;
class QuestionTable;
struct BuiltPaper;

// The main editor window: a toolbar, the detail panel of the current question, the
// totals, and the grid of every question of the open paper.
class FormPaper : public QWidget
{
    Q_OBJECT
public:
    static constexpr int ToolbarButtonCount = 11;

    FormPaper(SharedState &state, ModalSeam &seam, const ScreenMetrics &screen,
              const QString &programFolder, QWidget *parent = nullptr);
    ~FormPaper() override;

    // Lays the window out for the screen; does nothing unless the window is in its
    // normal state (neither minimized nor maximized).
    void Form_LoadPro();
    void NewPaper_Click();
    // Recomputes the total mark from the marks cache and shows it.
    void CountScore();
    void CommandTools_Click(int index);

    // Paper files.
    void SavePaper_Click();
    // Reads a paper file and makes it the open paper; false (after telling the
    // user why) when it cannot. Leaves the path and the caption to the caller.
    bool ReadCsvFile(const QString &PFileName);
    void OpenPaper_Click();

    // Spreadsheets: the export writes the open paper to a new workbook at ExportFile;
    // the import replaces the open paper with a workbook's questions and is true when
    // it did. ImportOrOpen true announces a successful import.
    void DoExport(QString &ExportFile);
    bool DoImport(QString ImportFile, bool &ImportOrOpen);

    // The command Timer1 is to run again: a save came first.
    enum class PendingAction : std::uint8_t { None = 0, Open = 1, Import = 2 };
    PendingAction pendingAction() const { return pendingAction_; }

    // Question list commands.
    void AddQuestion_Click();
    void DeleteQuestion_Click();
    void MoveUpQuestion_Click();
    void MoveDownQuestion_Click();
    void ExitEditor_Click();

    QuestionTable *questionTable() const;
    const LayoutScale &scale() const { return scale_; }
    SharedState &state() const { return state_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Detail panel: key filters, checks on leaving a box and before a row is
    // written back, and the grid's whole-row highlight.
    static int TextScore_KeyPress(int keyAscii);
    bool TextScore_Validate();
    bool TextTimeLimit_Validate();
    bool adoStdMarks_WillChangeRecord();
    void DataGrid1_RowColChange();
    void CmdSetAnswer_Click();
    void bindDetailPanel();
    void followGridClicks();
    void showMessage(const QString &text, const QString &details = {});
    QMessageBox::StandardButton askToSaveChanges();
    void deferUntilSaved(PendingAction action);
    // Whether a command may replace a modified paper now: No goes on, Yes saves and
    // has Timer1 rerun the command later, Cancel stops it.
    bool mayReplacePaper(PendingAction rerun);
    void Timer1_Timer();
    bool Form_Unload();
    void Help_Click();
    bool WriteCsvFile(const QString &path);
    // True when nothing is at the path, or the user agrees to overwrite what is.
    bool mayOverwrite(const QString &path);
    void ExportPaper_Click();
    void ImportPaper_Click();
    void showInvalidFormat(const QString &reason);
    // "Excel File (*.xls)" first, then "Excel Workbook (*.xlsx)".
    static QStringList workbookFilters();
    void showPaperPathInCaption();

    void createControls();
    void createToolbar();
    void createDetailPanel();
    void orderPanelTabs();
    void createTotalsAndGrid();
    void Form_Load();
    void ComputeScale();
    void applyDesignFonts();
    void scaleGridColumns();
    // Makes a complete table the open paper: its marks, first row, totals and count.
    void showPaper(BuiltPaper paper);
    // showPaper for a new paper, which has no file yet.
    void handOver(BuiltPaper paper);
    void showQuestionCount();
    // Reads the ten fields that travel with a question when it is moved.
    struct MovedQuestion;
    MovedQuestion readMovedQuestion() const;
    void writeMovedQuestion(const MovedQuestion &question);
    void swapWithNeighbour(int offset);

    SharedState &state_;
    ModalSeam &seam_;
    ScreenMetrics screen_;
    QString programFolder_;
    LayoutScale scale_;
    PendingAction pendingAction_ = PendingAction::None;
    CommonDialog CommonDialog1;

    QTimer *Timer1 = nullptr;
    QGroupBox *FrameTools = nullptr;
    std::array<QPushButton *, ToolbarButtonCount> CommandTools{};
    QGroupBox *Frame1 = nullptr;
    DataNavigator *adoStdMarks = nullptr;
    QLabel *LabNo = nullptr;
    QLabel *LabelNo = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *TextScore = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *LabelAnswer = nullptr;
    QPushButton *CmdSetAnswer = nullptr;
    QLabel *LabelTimeLimit = nullptr;
    QLineEdit *TextTimeLimit = nullptr;
    QLabel *Label4 = nullptr;
    std::array<QLabel *, 6> LabItem{};
    std::array<QLineEdit *, 6> TextItems{};
    QGroupBox *Frame2 = nullptr;
    QPlainTextEdit *TextTitle = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *LabNoCount = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *LabScoreCount = nullptr;
    QTableView *DataGrid1 = nullptr;
    QuestionGridModel *gridModel_ = nullptr;
};
