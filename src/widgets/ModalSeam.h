#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QPagedPaintDevice;
class QWidget;

// The caption every message box without a title of its own shows.
inline const QString ApplicationTitle = QStringLiteral("Test Paper Editor");

struct MessageBoxRequest
{
    QString text;
    QString title = ApplicationTitle;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QString informativeText; // the reason behind a fixed message, shown under it
    QString detailedText;    // what is too long to show at once, shown on request
};

struct FileDialogRequest
{
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QString title;
    QString directory;      // empty: wherever the platform starts
    QString fileName;       // proposed name
    QStringList filters;    // "Test Paper (*.csv)", first is the default
    QString selectedFilter;
};

struct FileDialogChoice
{
    QString path;
    QString selectedFilter;
};

// Everything modal that is not one of the program's own forms goes through this
// seam, so tests can answer it and check exactly what was asked.
class ModalSeam
{
public:
    virtual ~ModalSeam() = default;

    virtual QMessageBox::StandardButton showMessage(QWidget *parent,
                                                    const MessageBoxRequest &request) = 0;
    // Empty when the user cancelled.
    virtual std::optional<FileDialogChoice> showFileDialog(QWidget *parent,
                                                           const FileDialogRequest &request) = 0;
    virtual void beginWaitCursor() = 0;
    virtual void endWaitCursor() = 0;
    // The print preview, from which the user prints or saves a PDF file; paint draws
    // the pages on the device it is given, as often as the preview asks.
    virtual void showPrintPreview(QWidget *parent,
                                  const std::function<void(QPagedPaintDevice &)> &paint) = 0;
};

// The hourglass for the life of a scope, restored on every way out.
class WaitCursor
{
public:
    explicit WaitCursor(ModalSeam &seam) : seam_(seam) { seam_.beginWaitCursor(); }
    ~WaitCursor() { seam_.endWaitCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

private:
    ModalSeam &seam_;
};

// The seam of the running program: real message boxes, file dialogs and cursor.
class DesktopModalSeam : public ModalSeam
{
public:
    QMessageBox::StandardButton showMessage(QWidget *parent,
                                            const MessageBoxRequest &request) override;
    std::optional<FileDialogChoice> showFileDialog(QWidget *parent,
                                                   const FileDialogRequest &request) override;
    void beginWaitCursor() override;
    void endWaitCursor() override;
    void showPrintPreview(QWidget *parent,
                          const std::function<void(QPagedPaintDevice &)> &paint) override;
};
