#pragma once

#include "widgets/FittedDialog.h"

#include <cstdint>
#include <optional>

class ModalSeam;
class QLabel;
class QPushButton;
class QuickNumberBox;
struct SharedState;

// Asks for the question amount, default mark and default time limit of a quick
// paper. OK stores each value in the shared state as it passes its check and, when
// all three pass, confirms; Cancel, Escape and the close box leave it unconfirmed.
class DialogQuickNew : public FittedDialog
{
    Q_OBJECT
public:
    DialogQuickNew(SharedState &state, ModalSeam &seam, QWidget *parent = nullptr);

    void OKButton_Click();
    void CancelButton_Click();

protected:
    void reject() override;

private:
    void createControls();
    void Form_Load();
    // Reads a box; on a value outside [min, max] shows the message, focuses the box
    // and returns nothing.
    std::optional<std::int16_t> checkedValue(QuickNumberBox *box, int min, int max,
                                             const QString &message);

    SharedState &state_;
    ModalSeam &seam_;

    QLabel *Label1 = nullptr;
    QuickNumberBox *TextQuNo = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label2 = nullptr;
    QuickNumberBox *TextScore = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *LabelTimeLimit = nullptr;
    QuickNumberBox *TextTimeLimit = nullptr;
    QLabel *Label6 = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;
};
