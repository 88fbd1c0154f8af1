#pragma once

#include "core/SharedState.h"
#include "editor/CommandGate.h"
#include "editor/FormPaperLayout.h"
#include "editor/SaveChangesGuard.h"
#include "widgets/CommonDialog.h"

#include <QWidget>
#include <array>
#include <memory>

class DataNavigator;
class FileCommands;
class GridMenu;
class ListCommands;
class PrintCommands;
class ModalSeam;
class PaperDocument;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QuestionGridModel;
class QuestionGridView;
class QuestionTable;
class ValidateOnLeave;

// The main editor window: a toolbar, the detail panel of the current question, the
// totals, and the grid of every question of the open paper. The paper itself is the
// document's; the window shows it, checks what is typed into the panel, and hands each
// command to the file or list commands.
class FormPaper : public QWidget
{
    Q_OBJECT
public:
    static constexpr int ToolbarButtonCount = 11;
    using PendingAction = SaveChangesGuard::PendingAction;

    FormPaper(SharedState &state, ModalSeam &seam, const ScreenMetrics &screen,
              const QString &programFolder, QWidget *parent = nullptr);
    ~FormPaper() override;

    // Lays the window out for the screen; does nothing unless the window is in its
    // normal state (neither minimized nor maximized).
    void Form_LoadPro();
    void NewPaper_Click();
    // Shows the total mark of the open paper.
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
    void DoExport(const QString &ExportFile);
    bool DoImport(const QString &ImportFile, bool ImportOrOpen);

    // The command Timer1 is to run again: a save came first.
    PendingAction pendingAction() const { return saveChangesGuard_->pendingAction(); }

    // Question list commands.
    void AddQuestion_Click();
    void DeleteQuestion_Click();
    void MoveUpQuestion_Click();
    void MoveDownQuestion_Click();
    void ExitEditor_Click();
    // Inserts a copy of the current question below it (Ctrl+D).
    void DuplicateQuestion_Click();
    // Undo and redo of the last step (Ctrl+Z; Ctrl+Shift+Z and Ctrl+Y), after the
    // panel's pending edit has been written back.
    void UndoEdit_Click();
    void RedoEdit_Click();
    // Asks how to print the paper, then shows the print preview (Ctrl+P).
    void PrintPaper_Click();

    PaperDocument &document() const { return *document_; }
    QuestionTable *questionTable() const;
    const LayoutScale &scale() const { return scale_; }
    SharedState &state() const { return state_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // A file dropped on the window is opened or imported (editor/ArrivingFile).
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Detail panel: key filters, checks on leaving a box and before a row is
    // written back, and the grid's whole-row highlight.
    int TextScore_KeyPress(int keyAscii) const;
    bool TextScore_Validate();
    bool TextTimeLimit_Validate();
    bool adoStdMarks_WillChangeRecord();
    void DataGrid1_RowColChange();
    void CmdSetAnswer_Click();
    void Timer1_Timer();
    bool Form_Unload();
    void Help_Click();
    void ExportPaper_Click();
    void ImportPaper_Click();
    void runToolbarCommand(int index);

    CommandContext commandContext();
    void createControls();
    void createToolbar();
    void createEditShortcuts();
    void createGridMenu();
    void createDetailPanel();
    void createTotalsAndGrid();
    void orderPanelTabs();
    void bindDetailPanel();
    void followDocument();
    void followGridClicks();
    void Form_Load();
    void nameBoxesAfterCaptions();
    void ComputeScale();
    void applyDesignFonts();
    void scaleGridColumns();
    void showQuestionCount();
    void showPaperPathInCaption();

    SharedState &state_;
    ModalSeam &seam_;
    ScreenMetrics screen_;
    QString programFolder_;
    LayoutScale scale_;
    PaperDocument *document_ = nullptr;
    std::unique_ptr<SaveChangesGuard> saveChangesGuard_;
    CommandGate commandGate_;
    std::unique_ptr<PrintCommands> printCommands_;
    std::unique_ptr<FileCommands> fileCommands_;
    std::unique_ptr<ListCommands> listCommands_;

    // The controls, named as the window's design names them.
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
    QuestionGridView *DataGrid1 = nullptr;
    QuestionGridModel *gridModel_ = nullptr;
    GridMenu *gridMenu_ = nullptr;
    ValidateOnLeave *timeLimitCheck_ = nullptr;
};
