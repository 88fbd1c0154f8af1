#include "editor/DlgCausion.h"

#include "widgets/DesignMetrics.h"
#include "core/SharedState.h"

#include <QLabel>
#include <QPushButton>

DlgCausion::DlgCausion(SharedState &state, std::function<void()> save, QWidget *parent)
    : FittedDialog(parent), state_(state), save_(std::move(save)), Label1(new QLabel(this)),
      OKButton(new QPushButton(this)), NoButton(new QPushButton(this)),
      CancelButton(new QPushButton(this))
{
    setObjectName(QStringLiteral("DlgCausion"));
    Label1->setObjectName(QStringLiteral("Label1"));
    OKButton->setObjectName(QStringLiteral("OKButton"));
    NoButton->setObjectName(QStringLiteral("NoButton"));
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    setFont(QuickDesignFont(8.25));
    PlaceInTwips(Label1, 720, 360, 3855, 735);
    Label1->setWordWrap(true);
    PlaceInTwips(OKButton, 360, 1440, 1215, 495);
    PlaceInTwips(NoButton, 1920, 1440, 1215, 495);
    PlaceInTwips(CancelButton, 3480, 1440, 1215, 495);
    SetClientSizeInTwips(this, 5055, 2280);
    OKButton->setDefault(true);

    connect(OKButton, &QPushButton::clicked, this, &DlgCausion::OKButton_Click);
    connect(NoButton, &QPushButton::clicked, this, &DlgCausion::NoButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &DlgCausion::CancelButton_Click);
    Form_Load();
}

void DlgCausion::Form_Load()
{
    setWindowTitle(QStringLiteral("Warning"));
    Label1->setText(QStringLiteral("The test paper has been modified. Save or not?"));
    OKButton->setText(QStringLiteral("Yes"));
    NoButton->setText(QStringLiteral("No"));
    CancelButton->setText(QStringLiteral("Cancel"));
    // Closing by the title bar or Escape leaves this, the same as Cancel.
    state_.savePromptResult = false;
}

void DlgCausion::OKButton_Click()
{
    state_.savePromptResult = true;
    saveChosen_ = true;
    save_();
    accept();
}

void DlgCausion::NoButton_Click()
{
    state_.savePromptResult = true;
    accept();
}

void DlgCausion::CancelButton_Click()
{
    state_.savePromptResult = false;
    reject();
}
