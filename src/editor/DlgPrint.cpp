#include "editor/DlgPrint.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
template <typename Widget>
Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}
} // namespace

DlgPrint::DlgPrint(QWidget *parent)
    : QDialog(parent),
      OptionPaper(named(new QRadioButton(tr("&Paper"), this), "OptionPaper")),
      OptionKey(named(new QRadioButton(tr("Answer &key"), this), "OptionKey")),
      OptionBoth(named(new QRadioButton(tr("&Both"), this), "OptionBoth")),
      SpinVersions(named(new QSpinBox(this), "SpinVersions")),
      CheckShuffleQuestions(named(new QCheckBox(tr("Shuffle &questions"), this), "CheckShuffleQuestions")),
      CheckShuffleOptions(named(new QCheckBox(tr("Shuffle &options"), this), "CheckShuffleOptions")),
      TextSeed(named(new QLineEdit(this), "TextSeed")),
      OKButton(named(new QPushButton(tr("OK"), this), "OKButton")),
      CancelButton(named(new QPushButton(tr("Cancel"), this), "CancelButton"))
{
    setObjectName(QStringLiteral("DlgPrint"));
    setWindowTitle(tr("Print Test Paper"));
    OptionBoth->setChecked(true);
    SpinVersions->setRange(1, MaxPaperVersions);
    SpinVersions->setAccessibleName(tr("Versions"));
    // Up to 19 digits always fits the seed's 64 bits.
    TextSeed->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{1,19}")), TextSeed));
    TextSeed->setText(QString::number(QRandomGenerator::global()->bounded(1, 1000000)));
    TextSeed->setAccessibleName(tr("Seed"));

    auto *part = new QHBoxLayout;
    for (QRadioButton *option : {OptionPaper, OptionKey, OptionBoth})
        part->addWidget(option);
    auto *form = new QFormLayout;
    form->addRow(tr("Print:"), part);
    form->addRow(tr("&Versions (A to Z):"), SpinVersions);
    form->addRow(QString(), CheckShuffleQuestions);
    form->addRow(QString(), CheckShuffleOptions);
    form->addRow(tr("&Seed:"), TextSeed);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(OKButton, QDialogButtonBox::AcceptRole);
    buttons->addButton(CancelButton, QDialogButtonBox::RejectRole);
    OKButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (TextSeed->hasAcceptableInput())
            accept();
        else
            TextSeed->setFocus();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

PrintOptions DlgPrint::options() const
{
    PrintOptions options;
    options.part = OptionPaper->isChecked() ? PrintPart::Paper
                   : OptionKey->isChecked() ? PrintPart::Key : PrintPart::Both;
    options.versions = SpinVersions->value();
    options.seed = TextSeed->text().toULongLong();
    const bool questions = CheckShuffleQuestions->isChecked();
    const bool optionsToo = CheckShuffleOptions->isChecked();
    options.shuffle = questions && optionsToo ? ShuffleMode::Both
                      : questions ? ShuffleMode::Questions
                      : optionsToo ? ShuffleMode::Options : ShuffleMode::None;
    return options;
}
