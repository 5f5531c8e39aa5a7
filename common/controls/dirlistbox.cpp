#include "controls/dirlistbox.h"

#include <QDir>
#include <QKeyEvent>
#include <QStyledItemDelegate>

namespace common {

namespace {

constexpr int pathRole = Qt::UserRole;
constexpr int levelRole = Qt::UserRole + 1;
constexpr int indentPerLevel = 12;

// Moves each entry right by its depth below the root.
class IndentDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        QStyleOptionViewItem indented = option;
        indented.rect.setLeft(option.rect.left() + indentOf(index));
        QStyledItemDelegate::paint(painter, indented, index);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(indentOf(index), 0);
    }

private:
    static int indentOf(const QModelIndex &index) {
        return index.data(levelRole).toInt() * indentPerLevel;
    }
};

} // namespace

DirListBox::DirListBox(QWidget *parent)
    : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setItemDelegate(new IndentDelegate(this));
    connect(this, &QAbstractItemView::doubleClicked, this, &DirListBox::open);
    m_path = QDir::currentPath();
    refresh();
}

void DirListBox::setPath(const QString &path) {
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    const bool changed = clean != m_path;
    m_path = clean;
    refresh();
    if (changed)
        emit pathChanged();
}

QString DirListBox::entryPath(int row) const {
    const QListWidgetItem *entry = item(row);
    return entry ? entry->data(pathRole).toString() : QString();
}

void DirListBox::keyPressEvent(QKeyEvent *event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        currentIndex().isValid()) {
        event->accept();
        open(currentIndex());
        return;
    }
    QListWidget::keyPressEvent(event);
}

void DirListBox::open(const QModelIndex &index) {
    if (index.isValid())
        setPath(index.data(pathRole).toString());
}

void DirListBox::refresh() {
    clear();
    const QIcon openFolder = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedFolder = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const auto addEntry = [this](const QIcon &icon, const QString &name, const QString &path,
                                 int level) {
        auto *entry = new QListWidgetItem(icon, name, this);
        entry->setData(pathRole, path);
        entry->setData(levelRole, level);
        return entry;
    };

    // The root, then one entry per folder on the way down to the current one.
    QString walked = QDir::rootPath();
    addEntry(openFolder, walked, walked, 0);
    const QStringList parts = m_path.split(u'/', Qt::SkipEmptyParts);
    for (int level = 0; level < parts.size(); ++level) {
        walked = QDir(walked).filePath(parts.at(level));
        addEntry(openFolder, parts.at(level), walked, level + 1);
    }
    const int current = count() - 1;

    const QStringList subfolders =
        QDir(m_path).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : subfolders)
        addEntry(closedFolder, name, QDir(m_path).filePath(name), int(parts.size()) + 1);

    setCurrentRow(current);
}

} // namespace common
