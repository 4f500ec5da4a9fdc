#pragma once
// The logo window: a BMP picture turned into NV logo, downloaded bit image
// and self-test page commands, and into assembler text.
#include "ui/toolwindow.h"
#include "logo/logocommands.h"
#include "logo/picture.h"

#include <QImage>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;

class Tnvf : public ToolWindow {
    Q_OBJECT
public:
    explicit Tnvf(ToolHost &host);

    const Picture &picture() const { return m_picture; }
    // Window size for a picture's geometry: it never shrinks below 750 x 539.
    static QSize windowSizeFor(const Geometry &g);
    // The host file that the HEX field names: a Windows-style path (drive
    // letter or backslashes) is a file of its last name in the home folder.
    static QString hexFilePath(const QString &field, const QString &home);
    // The window's messages that a command-line caller tells as well.

private:
    void FormCreate();
    void BitBtn1Click();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button8Click();
    void Button9Click();
    void Button10Click();
    void Button12Click();

    void showPicture(const Picture &picture);
    Dialect dialect() const;
    QLineEdit *edit(int n) const;
    int intField(int n) const;
    // The hidden fields of the layout: the dot test's threshold (Edit10),
    // the left offset in dots (Edit11) and the bit image's size cap (Edit13).
    int threshold() const;
    int leftOffset() const;
    int sizeCap() const;
    // Writes the HEX file when "HEX" is ticked; returns where it went (empty
    // when unticked).
    QString writeHexFile(const std::string &contents);
    // The logo window's way: tool route, and on Ethernet the download variant
    // with its byte count, longer pauses and success message.
    bool sendDownload(const ByteString &command, const QString &networkSuccess = QString());
    void defineBitImage(bool trimmed);
    void exportText(bool scrambled);

    Picture m_picture;
    QLabel *m_image1 = nullptr;
    QLabel *m_label1 = nullptr;
    QButtonGroup *m_scaling = nullptr;
    QCheckBox *m_star = nullptr;
    QCheckBox *m_hcb = nullptr;
    QLabel *m_hexWhere = nullptr;
    QLabel *m_nvNotice = nullptr;
};
