#include "app/tlogf.h"

#include "escpos/logtext.h"
#include "ui/widgets.h"
#include "transport/ioerror.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTreeWidget>

namespace {

constexpr int kIdRole = Qt::UserRole;
// A replayed file is one command string; nothing the program builds is
// near this size.
constexpr qint64 kMaxReplayBytes = 16 * 1024 * 1024;
// Commands of an entry the window lists.
constexpr std::size_t kShownCommands = 1000;

void writeFile(const QString &path, const std::string &contents)
{
    try {
        writeWholeFile(QFile::encodeName(path).toStdString(), contents);
    } catch (const EInOutError &) {
        rethrowWithDetail(QCoreApplication::translate("Tlogf", "文件 %1 无法写入。").arg(path));
    }
}

} // namespace

Tlogf::Tlogf(ToolHost &host) : ToolWindow(host, "logf", 760, 520)
{
    setFont(songti(12));
    setWindowTitle(tr("传输记录"));
    m_list = place<QTreeWidget>(this, "LogList", 8, 8, 744, 220);
    m_list->setHeaderLabels({tr("时间"), tr("去向"), tr("字节"), tr("结果")});
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setColumnWidth(0, 96);
    m_list->setColumnWidth(1, 250);
    m_list->setColumnWidth(2, 60);
    m_detail = place<QPlainTextEdit>(this, "LogDetail", 8, 236, 744, 236);
    m_detail->setReadOnly(true);
    m_detail->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_detail->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    makeButton(this, "LogCopy", tr("复制"), 8, 482, 110, 28);
    makeButton(this, "LogSaveBin", tr("保存字节 (.bin)"), 124, 482, 120, 28);
    makeButton(this, "LogSaveText", tr("保存文本"), 250, 482, 110, 28);
    makeButton(this, "LogReplay", tr("打开 .bin 并发送"), 366, 482, 130, 28);
    makeButton(this, "LogClear", tr("清空"), 502, 482, 110, 28);
    makeButton(this, "LogClose", tr("关闭"), 642, 482, 110, 28);

    auto button = [this](const char *name) { return findChild<QAbstractButton *>(QLatin1String(name)); };
    connectClick(button("LogCopy"), &Tlogf::copyClick);
    connectClick(button("LogSaveBin"), &Tlogf::saveBinClick);
    connectClick(button("LogSaveText"), &Tlogf::saveTextClick);
    connectClick(button("LogReplay"), &Tlogf::replayClick);
    connectClick(button("LogClear"), &Tlogf::clearClick);
    connectClick(button("LogClose"), &Tlogf::closeClick);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this,
            [this] { guarded(m_host.outside(), this, [this] { showSelected(); }); });
    // Hidden, the window only notes that the log moved on.
    connect(&m_host.sender().log(), &TransferLog::changed, this, [this] {
        m_stale = true;
        if (isVisible())
            refresh();
    });
}

void Tlogf::showEvent(QShowEvent *event)
{
    ToolWindow::showEvent(event);
    if (m_stale)
        refresh();
}

void Tlogf::refresh()
{
    m_stale = false;
    const std::vector<std::uint64_t> keep = selectedIds();
    const bool atEnd = keep.empty() || (m_list->topLevelItemCount() > 0 &&
                                        m_list->topLevelItem(m_list->topLevelItemCount() - 1)->isSelected());
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    QList<QTreeWidgetItem *> items;
    for (const LogEntry &e : m_host.sender().log().entries()) {
        auto *item = new QTreeWidgetItem({e.time.toString(QStringLiteral("HH:mm:ss.zzz")), e.where,
                                          QString::number(e.bytes.size()), resultText(e)});
        item->setData(0, kIdRole, QVariant::fromValue<qulonglong>(e.id));
        item->setToolTip(3, e.error);
        items << item;
    }
    m_list->addTopLevelItems(items);
    // The newest entry is the one an operator looks for after a press.
    for (QTreeWidgetItem *item : items)
        if (std::find(keep.begin(), keep.end(), item->data(0, kIdRole).toULongLong()) != keep.end())
            item->setSelected(true);
    if (atEnd && !items.isEmpty()) {
        m_list->setCurrentItem(items.last(), 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_list->scrollToItem(items.last());
    }
    showSelected();
}

std::vector<std::uint64_t> Tlogf::selectedIds() const
{
    std::vector<std::uint64_t> ids;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        if (m_list->topLevelItem(i)->isSelected())
            ids.push_back(m_list->topLevelItem(i)->data(0, kIdRole).toULongLong());
    return ids;
}

QString Tlogf::selectedText(std::size_t maxCommands) const
{
    QStringList parts;
    for (std::uint64_t id : selectedIds())
        if (const LogEntry *e = m_host.sender().log().find(id))
            parts << entryText(*e, maxCommands);
    return parts.join(QStringLiteral("\n"));
}

// The window shows what a reader can take in; the listing of a long command
// would hold up the command itself, since the newest entry is shown as it
// starts. Copy and save take the whole listing.
void Tlogf::showSelected() { m_detail->setPlainText(selectedText(kShownCommands)); }

void Tlogf::copyClick() { QGuiApplication::clipboard()->setText(selectedText()); }

void Tlogf::saveSelected(const QString &filter, const QString &suggested, const std::string &contents)
{
    if (selectedIds().empty()) {
        message(tr("请先在列表中选择要保存的记录。"));
        return;
    }
    const QString path = m_host.outside().chooseSaveFile(this, filter, QDir::home().filePath(suggested));
    if (!path.isEmpty())
        writeFile(path, contents);
}

void Tlogf::saveBinClick()
{
    std::string bytes;
    for (std::uint64_t id : selectedIds())
        if (const LogEntry *e = m_host.sender().log().find(id))
            bytes += e->bytes;
    saveSelected(tr("命令字节 (*.bin)"), QStringLiteral("command.bin"), bytes);
}

void Tlogf::saveTextClick()
{
    saveSelected(tr("文本 (*.txt)"), QStringLiteral("command.txt"), selectedText().toStdString());
}

void Tlogf::replayClick()
{
    const QString path = m_host.outside().chooseOpenFile(this, tr("命令字节 (*.bin);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(tr("无法打开文件 \"%1\"：%2").arg(path, file.errorString()));
    if (file.size() > kMaxReplayBytes)
        throw AppError(tr("文件 \"%1\" 太大（%2 字节），不是一条打印机命令").arg(path).arg(file.size()));
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty()) {
        message(tr("文件 \"%1\" 是空的，没有可发送的字节。").arg(path));
        return;
    }
    m_host.Dispatch(ByteString(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void Tlogf::clearClick() { m_host.sender().log().clear(); }

void Tlogf::closeClick() { close(); }
