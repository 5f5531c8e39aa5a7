// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/dirlistbox.h"

#include "controls/focusring.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyledItemDelegate>

#include <algorithm>

namespace common {

namespace {

constexpr int pathRole = Qt::UserRole;
constexpr int levelRole = Qt::UserRole + 1;
constexpr int indentPerLevel = 12;
// Of the list's width, the deepest entry's indent takes at most this share, so that each name
// keeps room beside its icon however deep the folder.
constexpr int indentShareDivisor = 3;

// Moves each entry right by its depth below the root. The entries are as wide as the list, and a
// name too long for the rest is shortened in the middle.
class IndentDelegate final : public QStyledItemDelegate {
public:
    IndentDelegate(const int &step, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_step(step) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        QStyleOptionViewItem indented = option;
        indented.rect.setLeft(option.rect.left() + index.data(levelRole).toInt() * m_step);
        QStyledItemDelegate::paint(painter, indented, index);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        return {1, QStyledItemDelegate::sizeHint(option, index).height()};
    }

private:
    const int &m_step;
};

} // namespace

DirListBox::DirListBox(QWidget *parent)
    : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideMiddle);
    setItemDelegate(new IndentDelegate(m_indentStep, this));
    // The current folder's entry is always selected, so the selection can't show the focus.
    new FocusRing(this);
    connect(this, &QAbstractItemView::doubleClicked, this, &DirListBox::open);
    m_startPath = QDir::currentPath();
    m_path = m_startPath;
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

void DirListBox::resizeEvent(QResizeEvent *event) {
    QListWidget::resizeEvent(event);
    fitIndent();
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
        entry->setToolTip(QDir::toNativeSeparators(path));
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

    QStringList subfolders =
        QDir(m_path).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    if (const QString above = QDir(m_path).relativeFilePath(m_startPath);
        above != QLatin1String(".") && !above.startsWith(QLatin1String(".."))) {
        // The start folder lies below: its first step shows even when hidden.
        const QString step = above.section(u'/', 0, 0);
        if (!subfolders.contains(step) && QFileInfo(QDir(m_path).filePath(step)).isDir()) {
            subfolders << step;
            std::sort(subfolders.begin(), subfolders.end(), [](const QString &a, const QString &b) {
                return a.compare(b, Qt::CaseInsensitive) < 0;
            });
        }
    }
    for (const QString &name : subfolders)
        addEntry(closedFolder, name, QDir(m_path).filePath(name), int(parts.size()) + 1);
    m_deepest = int(parts.size()) + (subfolders.isEmpty() ? 0 : 1);

    fitIndent();
    setCurrentRow(current);
}

void DirListBox::fitIndent() {
    m_indentStep =
        std::min(indentPerLevel, viewport()->width() / indentShareDivisor / std::max(1, m_deepest));
    viewport()->update();
}

} // namespace common
