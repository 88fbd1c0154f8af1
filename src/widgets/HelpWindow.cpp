#include "widgets/HelpWindow.h"

#include "help/HelpArchive.h"
#include "widgets/HelpBrowser.h"
#include "help/HelpContents.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int UrlRole = Qt::UserRole;

QUrl withoutFragment(QUrl url)
{
    url.setFragment(QString());
    return url;
}

QToolButton *toolButton(QWidget *parent, const char *name, const QString &text,
                        QStyle::StandardPixmap icon, const QKeySequence &shortcut)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setShortcut(shortcut);
    return button;
}
} // namespace

HelpWindow *HelpWindow::of(QWidget *owner)
{
    return owner ? owner->findChild<HelpWindow *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

bool HelpWindow::showDefaultTopic(QWidget *owner, const QString &path)
{
    HelpWindow *window = of(owner);
    if (!window) {
        std::unique_ptr<HelpArchive> archive = HelpArchive::open(path);
        if (!archive)
            return false;
        window = new HelpWindow(std::move(archive), owner);
        if (!window->goHome()) {
            delete window;
            return false;
        }
        window->placeOver(owner);
        window->show();
        window->keepOnScreen();
    } else if (withoutFragment(window->browser_->source())
               != HelpBrowser::topicUrl(window->archive_->defaultTopic())) {
        window->goHome();
    }
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

HelpWindow::HelpWindow(std::unique_ptr<HelpArchive> archive, QWidget *owner)
    : QWidget(owner, Qt::Window), archive_(std::move(archive))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(archive_->title().isEmpty() ? QStringLiteral("Help") : archive_->title());

    back_ = toolButton(this, "HelpBack", QStringLiteral("Back"), QStyle::SP_ArrowBack,
                       QKeySequence::Back);
    forward_ = toolButton(this, "HelpForward", QStringLiteral("Forward"), QStyle::SP_ArrowForward,
                          QKeySequence::Forward);
    home_ = toolButton(this, "HelpHome", QStringLiteral("Contents"), QStyle::SP_DirHomeIcon,
                       QKeySequence(Qt::ALT | Qt::Key_Home));
    back_->setEnabled(false);
    forward_->setEnabled(false);

    browser_ = new HelpBrowser(*archive_, this);
    contents_ = new QTreeWidget(this);
    contents_->setObjectName(QStringLiteral("HelpContents"));
    contents_->header()->hide();
    contents_->setRootIsDecorated(false);
    contents_->setIndentation(14);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(back_);
    buttons->addWidget(forward_);
    buttons->addWidget(home_);
    buttons->addStretch();
    splitter_ = new QSplitter(Qt::Horizontal, this);
    auto *splitter = splitter_;
    splitter->addWidget(contents_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);

    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(home_, &QToolButton::clicked, this, &HelpWindow::goHome);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::selectContentsEntry);
    auto openEntry = [this](QTreeWidgetItem *item) {
        if (item)
            browser_->showTopic(item->data(0, UrlRole).toUrl());
    };
    connect(contents_, &QTreeWidget::itemClicked, this, openEntry);
    connect(contents_, &QTreeWidget::itemActivated, this, openEntry);
    connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, this, &QWidget::close);

    fillContents();
}

HelpWindow::~HelpWindow() = default;

bool HelpWindow::goHome()
{
    return browser_->showTopic(HelpBrowser::topicUrl(archive_->defaultTopic()));
}

void HelpWindow::fillContents()
{
    const std::optional<QByteArray> sitemap =
        archive_->contentsFile().isEmpty() ? std::nullopt : archive_->read(archive_->contentsFile());
    const QList<HelpContentsEntry> entries = sitemap ? ParseHelpContents(*sitemap)
                                                     : QList<HelpContentsEntry>();
    const QUrl base = HelpBrowser::topicUrl(archive_->contentsFile());
    QList<QTreeWidgetItem *> parents;
    for (const HelpContentsEntry &entry : entries) {
        parents.resize(std::min<qsizetype>(parents.size(), entry.depth));
        auto *item = parents.isEmpty() ? new QTreeWidgetItem(contents_)
                                       : new QTreeWidgetItem(parents.constLast());
        item->setText(0, entry.name);
        item->setToolTip(0, entry.name);
        if (!entry.local.isEmpty())
            item->setData(0, UrlRole, base.resolved(QUrl(entry.local)));
        parents.append(item);
    }
    contents_->expandAll();
    contents_->setVisible(!entries.isEmpty());
}

void HelpWindow::selectContentsEntry(const QUrl &page)
{
    const QUrl wanted = withoutFragment(page);
    for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
        if (withoutFragment((*it)->data(0, UrlRole).toUrl()) == wanted) {
            const QSignalBlocker blocker(contents_);
            contents_->setCurrentItem(*it);
            return;
        }
    }
    contents_->clearSelection();
}

void HelpWindow::placeOver(QWidget *owner)
{
    const QScreen *screen = owner ? owner->screen() : this->screen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize size(std::min(860, available.width() * 17 / 20),
                     std::min(580, available.height() * 4 / 5));
    resize(size);
    // The contents as wide as their longest entry, but the page gets two thirds at least.
    contents_->resizeColumnToContents(0);
    const int contentsWidth = std::min(contents_->columnWidth(0) + 2 * contents_->frameWidth() + 8,
                                       size.width() / 3);
    splitter_->setSizes({contentsWidth, size.width() - contentsWidth});
    // Centred over the editor, but always whole on its screen.
    QRect frame(QPoint(), size);
    frame.moveCenter(owner && owner->isVisible() ? owner->frameGeometry().center()
                                                 : available.center());
    frame.moveLeft(std::clamp(frame.left(), available.left(), available.right() - size.width()));
    frame.moveTop(std::clamp(frame.top(), available.top(), available.bottom() - size.height()));
    move(frame.topLeft());
}

void HelpWindow::keepOnScreen()
{
    const QRect available = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    const QPoint overflow(std::max(0, frame.right() - available.right()),
                          std::max(0, frame.bottom() - available.bottom()));
    if (!overflow.isNull())
        move(pos() - overflow);
}
