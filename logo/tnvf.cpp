#include "logo/tnvf.h"

#include "ui/artwork.h"
#include "core/rtl.h"
#include "ui/widgets.h"
#include "logo/bmpload.h"
#include "transport/ioerror.h"

#include <QButtonGroup>
#include <QDir>
#include <QGroupBox>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {

constexpr int kInitialWidth = 750;
constexpr int kInitialHeight = 539;
constexpr int kSizeCapDefault = 1536;

} // namespace

namespace {

// The sample is drawn, files are read; both show and print as one picture.
Picture pictureFromImage(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    Picture pic(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            pic.set(x, y, static_cast<std::int32_t>((qBlue(line[x]) << 16) | (qGreen(line[x]) << 8) | qRed(line[x])));
    }
    return pic;
}

QImage imageOf(const Picture &pic)
{
    QImage image(pic.width, pic.height, QImage::Format_RGB32);
    for (int y = 0; y < pic.height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < pic.width; ++x) {
            const std::int32_t c = pic.at(x, y);
            line[x] = qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
        }
    }
    return image;
}

} // namespace

Tnvf::Tnvf(ToolHost &host) : ToolWindow(host, "nvf", kInitialWidth, kInitialHeight)
{
    setFont(songti(12));
    makeButton(this, "BitBtn1", tr("打开BMP文件"), 8, 8, 121, 30);
    m_label1 = makeLabel(this, "Label1", tr("位图大小: 1176 字节"), 136, 16);
    m_label1->setStyleSheet(QStringLiteral("color: red;"));
    auto *original = makeRadio(this, "RadioButton5", tr("原始"), 272, 12, 64, 20);
    original->setEnabled(false);
    makeRadio(this, "RadioButton6", tr("变换后"), 340, 12, 80, 20)->setChecked(true);
    m_image1 = place<QLabel>(this, "Image1", 272, 40, 167, 49);

    makeButton(this, "Button2", tr("下载NV Logo"), 8, 48, 121, 28);
    makeButton(this, "Button3", tr("打印NV Logo"), 8, 80, 121, 28);
    makeButton(this, "Button5", tr("清除NV Logo"), 8, 112, 121, 28);
    auto *group = place<QGroupBox>(this, "RadioGroup1", 136, 44, 128, 100);
    group->setTitle(tr("打印时大小缩放"));
    auto *column = new QVBoxLayout(group);
    column->setContentsMargins(6, 2, 6, 2);
    column->setSpacing(0);
    m_scaling = new QButtonGroup(this);
    const QString items[] = {tr("原始大小"), tr("双倍宽"), tr("双倍高"), tr("双倍宽、高")};
    for (int i = 0; i < 4; ++i) {
        auto *r = new QRadioButton(items[i], group);
        r->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(i));
        column->addWidget(r);
        m_scaling->addButton(r, i);
    }
    m_scaling->button(0)->setChecked(true);
    m_star = makeCheckBox(this, "CheckBox1", tr("Star Mode"), 136, 148, 128, 20);

    for (int i = 0; i < 8; ++i) {
        const int x = i < 4 ? 8 : 136, y = 176 + 26 * (i % 4);
        makeLabel(this, "", tr("E%1").arg(i + 1), x, y + 4);
        makeEdit(this, QStringLiteral("Edit%1").arg(i + 1).toLatin1().constData(), QStringLiteral("0"), x + 26, y,
                 100, 22);
    }
    makeButton(this, "Button4", tr("80切切刀测试"), 8, 284, 121, 28);
    makeButton(this, "Button8", tr("定义下载位图"), 136, 284, 128, 28);
    makeButton(this, "Button12", tr("定义下载位图II(去空点)"), 8, 316, 256, 28);
    makeButton(this, "Button10", tr("打印下载位图"), 8, 348, 121, 28);
    makeButton(this, "Button9", tr("Button9"), 136, 348, 128, 28);
    makeButton(this, "Button6", tr("转换后的数据TXT"), 8, 380, 121, 28);
    makeButton(this, "Button7", tr("加密后的数据"), 136, 380, 128, 28);
    m_hcb = makeCheckBox(this, "hcb", tr("HEX"), 8, 416, 54, 20);
    makeEdit(this, "Edit9", QStringLiteral("c:\\hex.bin"), 64, 414, 200, 22);
    makeEdit(this, "Edit10", QStringLiteral("$00800000"), 8, 444, 90, 22)->hide();
    makeEdit(this, "Edit11", QStringLiteral("0"), 100, 444, 60, 22)->hide();
    makeEdit(this, "Edit13", QString::number(kSizeCapDefault), 164, 444, 60, 22)->hide();
    makeEdit(this, "Edit12", QStringLiteral("192.168.123.100"), 8, 444, 150, 22);
    makeButton(this, "Button1", tr("关闭"), 8, 476, 121, 30);
    // Where the last HEX file went, along the bottom edge below the picture,
    // and the download's own size check, right of the top row.
    m_hexWhere = makeLabel(this, "HexWhere", QString(), 8, kInitialHeight - 26);
    m_nvNotice = makeLabel(this, "NvNotice", QString(), 424, 14);
    m_nvNotice->setStyleSheet(QStringLiteral("color: red;"));

    auto button = [this](const char *name) { return findChild<QAbstractButton *>(QLatin1String(name)); };
    connectClick(button("BitBtn1"), &Tnvf::BitBtn1Click);
    connectClick(button("Button1"), &Tnvf::Button1Click);
    connectClick(button("Button2"), &Tnvf::Button2Click);
    connectClick(button("Button3"), &Tnvf::Button3Click);
    connectClick(button("Button4"), &Tnvf::Button4Click);
    connectClick(button("Button5"), &Tnvf::Button5Click);
    connectClick(button("Button6"), &Tnvf::Button6Click);
    connectClick(button("Button7"), &Tnvf::Button7Click);
    connectClick(button("Button8"), &Tnvf::Button8Click);
    connectClick(button("Button9"), &Tnvf::Button9Click);
    connectClick(button("Button10"), &Tnvf::Button10Click);
    connectClick(button("Button12"), &Tnvf::Button12Click);

    showPicture(pictureFromImage(drawSamplePicture()));
    FormCreate();
}

void Tnvf::FormCreate() { setWindowTitle(tr("Tavo 80 NV Logo 演示")); }

QSize Tnvf::windowSizeFor(const Geometry &g)
{
    return QSize(8 * std::max(g.bytesW, 58) + 286, 8 * std::max(g.bytesH, 58) + 75);
}

QLineEdit *Tnvf::edit(int n) const { return findChild<QLineEdit *>(QStringLiteral("Edit%1").arg(n)); }

int Tnvf::intField(int n) const { return StrToInt(edit(n)->text()); }

int Tnvf::threshold() const { return StrToInt(edit(10)->text()); }
int Tnvf::leftOffset() const { return StrToInt(edit(11)->text()); }
int Tnvf::sizeCap() const { return StrToInt(edit(13)->text()); }

Dialect Tnvf::dialect() const { return m_star->isChecked() ? Dialect::Star : Dialect::Normal; }

void Tnvf::showPicture(const Picture &picture)
{
    m_picture = picture;
    m_image1->setPixmap(QPixmap::fromImage(imageOf(picture)));
    m_image1->resize(picture.width, picture.height);
}

void Tnvf::BitBtn1Click()
{
    const QString file = m_host.outside().chooseOpenFile(this, tr("位图文件 (*.BMP *.bmp)"));
    if (!file.isEmpty())
        showPicture(loadBmp(file)); // a failed load raises and keeps the picture
    const Geometry g = geometryOf(m_picture.width, m_picture.height);
    resize(windowSizeFor(g));
    m_hexWhere->move(8, height() - 26);
    m_label1->setText(tr("位图大小： ") + QString::number(g.nvSize) + tr(" 字节"));
    m_label1->adjustSize();
    // The download stores one more row than the picture has, so a picture
    // just under the limit loads quietly and is then refused: say so now.
    bool offsetKnown = true;
    int offset = 0;
    try {
        offset = leftOffset();
    } catch (...) {
        offsetKnown = false; // told when a download reads it
    }
    const int download = offsetKnown ? nvDownloadGeometry(m_picture, offset).nvSize : g.nvSize;
    m_nvNotice->setText(download >= kNvSizeLimit
                            ? tr("下载需 %1 字节，超出 NV Logo 上限，不能下载").arg(download)
                            : QString());
    m_nvNotice->adjustSize();
    if (g.nvSize >= kNvSizeLimit)
        message(tr("BMP图形太大!请重新选择!"));
}

void Tnvf::Button1Click() { close(); }

QString Tnvf::hexFilePath(const QString &field, const QString &home)
{
#ifdef _WIN32
    Q_UNUSED(home);
    return field;
#else
    // The layout's default "c:\hex.bin" is a Windows path; here it would be
    // a file of that odd name in whatever folder the program started from.
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    if (!field.contains(QLatin1Char('\\')) && !drive.match(field).hasMatch()) {
        // A name of the operator's own: "~/" is their home, and a name
        // without a folder goes there too rather than wherever the program
        // happened to start (often "/").
        if (field.isEmpty())
            return field;
        if (field == QLatin1String("~") || field.startsWith(QLatin1String("~/")))
            return QDir::cleanPath(home + field.mid(1));
        return QDir::cleanPath(QDir(home).absoluteFilePath(field));
    }
    QString name = field;
    name.remove(drive);
    name = name.section(QRegularExpression(QStringLiteral("[\\\\/]")), -1);
    if (name.isEmpty())
        name = QStringLiteral("hex.bin");
    return QDir(home).filePath(name);
#endif
}

QString Tnvf::writeHexFile(const std::string &contents)
{
    // The line tells only what this command wrote.
    m_hexWhere->clear();
    if (!m_hcb->isChecked())
        return QString();
    const QString path = hexFilePath(edit(9)->text(), QDir::homePath());
    if (path.isEmpty()) {
        try {
            throw EInOutError(2);
        } catch (...) {
            rethrowWithDetail(tr("没有填写 HEX 文件名。"));
        }
    }
    try {
        writeWholeFile(QFile::encodeName(path).toStdString(), contents);
    } catch (const EInOutError &) {
        rethrowWithDetail(tr("HEX 文件 %1 无法写入。").arg(path));
    }
    m_hexWhere->setText(tr("HEX 文件已写入：%1（%2 字节）").arg(QDir::toNativeSeparators(path)).arg(contents.size()));
    m_hexWhere->adjustSize();
    return path;
}

bool Tnvf::sendDownload(const ByteString &command, const QString &networkSuccess)
{
    const Route route = toolRoute();
    if (route.kind != Route::Network)
        return sendAlong(route, command);
    edit(1)->setText(QString::number(command.size()));
    if (!sendAlong(route, command, kDownloadPauses))
        return false;
    if (!networkSuccess.isEmpty())
        message(networkSuccess);
    return true;
}

void Tnvf::Button2Click()
{
    const int offset = leftOffset();
    if (nvDownloadGeometry(m_picture, offset).nvSize >= kNvSizeLimit) {
        message(nvTooLargeText());
        return;
    }
    const ByteString command = buildNvDownload(m_picture, dialect(), offset, threshold());
    writeHexFile(command);
    sendDownload(command, nvDownloadedText());
}

void Tnvf::Button3Click() { sendTool(buildNvPrint(dialect(), m_scaling->checkedId())); }

void Tnvf::Button5Click() { sendTool(buildNvClear(dialect())); }

void Tnvf::exportText(bool scrambled)
{
    if (geometryOf(m_picture.width, m_picture.height).nvSize >= kNvSizeLimit) {
        message(nvTooLargeText());
        return;
    }
    m_hexWhere->clear();
    if (!m_hcb->isChecked()) {
        // The export's only output is the file.
        message(tr("导出的文本只写入 HEX 文件：请先勾选 \"HEX\"。"));
        return;
    }
    const QString path = writeHexFile(buildExportText(m_picture, scrambled));
    message(tr("导出的文本已写入 %1").arg(QDir::toNativeSeparators(path)));
}

void Tnvf::Button6Click() { exportText(false); }
void Tnvf::Button7Click() { exportText(true); }

void Tnvf::defineBitImage(bool trimmed)
{
    const BitImageSize size = bitImageSize(m_picture, sizeCap());
    Margins m;
    if (trimmed) {
        m = {intField(1), intField(2), intField(3), intField(4)};
        // Margins that do not add up to whole bytes would make the data
        // longer or shorter than the command announces.
        if (!marginsFit(size, m)) {
            message(marginsRefusedText());
            return;
        }
    }
    const int offset = leftOffset();
    const ByteString command =
        trimmed ? buildBitImageDefineTrimmed(m_picture, size, m, offset) : buildBitImageDefine(m_picture, size, offset);
    m_label1->setText(tr("位图大小: ") + QString::number(size.x * size.y) + tr(" 字节"));
    m_label1->adjustSize();
    writeHexFile(command);
    // Success is told only once the bytes have gone out.
    if (sendDownload(command))
        message(bitImageDefinedText());
}

void Tnvf::Button8Click() { defineBitImage(false); }
void Tnvf::Button12Click() { defineBitImage(true); }

void Tnvf::Button10Click() { sendDownload(buildBitImagePrint()); }
void Tnvf::Button9Click() { sendDownload(buildBitImagePrintFourSizes()); }

void Tnvf::Button4Click()
{
    const SelfTestReadouts r = selfTestReadouts(m_picture);
    const int values[] = {r.e4, r.e5, r.e6, r.e7, r.e8};
    for (int i = 0; i < 5; ++i)
        edit(4 + i)->setText(QString::number(values[i]));
    sendDownload(buildSelfTestPage(m_picture, intField(2)));
}
