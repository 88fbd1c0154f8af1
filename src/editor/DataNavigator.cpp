#include "DataNavigator.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace {
QToolButton *navigationButton(QWidget *parent, const QString &name, const QString &symbol,
                              const QString &tip)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(symbol);
    button->setToolTip(tip);
    button->setAutoRaise(false);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    return button;
}
} // namespace

DataNavigator::DataNavigator(QWidget *parent)
    : QWidget(parent), caption_(new QLabel(this)),
      first_(navigationButton(this, QStringLiteral("MoveFirst"), QStringLiteral("\u00AB"),
                              tr("First question"))),
      previous_(navigationButton(this, QStringLiteral("MovePrevious"), QStringLiteral("\u2039"),
                                 tr("Previous question"))),
      next_(navigationButton(this, QStringLiteral("MoveNext"), QStringLiteral("\u203A"),
                             tr("Next question"))),
      last_(navigationButton(this, QStringLiteral("MoveLast"), QStringLiteral("\u00BB"),
                             tr("Last question")))
{
    caption_->setAlignment(Qt::AlignCenter);
    caption_->setFrameShape(QFrame::StyledPanel);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(first_);
    row->addWidget(previous_);
    row->addWidget(caption_, 1);
    row->addWidget(next_);
    row->addWidget(last_);

    connect(first_, &QToolButton::clicked, this, [this] { moveBy(&QuestionTable::MoveFirst); });
    connect(previous_, &QToolButton::clicked, this,
            [this] { moveBy(&QuestionTable::MovePrevious); });
    connect(next_, &QToolButton::clicked, this, [this] { moveBy(&QuestionTable::MoveNext); });
    connect(last_, &QToolButton::clicked, this, [this] { moveBy(&QuestionTable::MoveLast); });
}

DataNavigator::~DataNavigator() = default;

void DataNavigator::setRecordset(std::unique_ptr<QuestionTable> table)
{
    std::unique_ptr<QuestionTable> previous = std::move(table_);
    table_ = std::move(table);
    emit recordsetChanged(table_.get());
}

void DataNavigator::moveBy(void (QuestionTable::*move)())
{
    if (!table_ || table_->RecordCount() == 0)
        return;
    (table_.get()->*move)();
    // Like the original control, the buttons never leave the paper's rows.
    if (table_->isEOF())
        table_->MoveLast();
    else if (table_->isBOF())
        table_->MoveFirst();
}

QString DataNavigator::caption() const { return caption_->text(); }
void DataNavigator::setCaption(const QString &caption) { caption_->setText(caption); }
QFont DataNavigator::captionFont() const { return caption_->font(); }
void DataNavigator::setCaptionFont(const QFont &font)
{
    caption_->setFont(font);
    // The buttons stay as narrow as their symbols, leaving the width to the caption.
    const int buttonWidth = QFontMetrics(font).horizontalAdvance(QStringLiteral("\u00BB")) + 8;
    for (QToolButton *button : {first_, previous_, next_, last_}) {
        button->setFont(font);
        button->setFixedWidth(buttonWidth);
    }
}
