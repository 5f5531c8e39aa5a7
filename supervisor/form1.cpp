#include "supervisor/form1.h"

#include "base/error.h"
#include "settings/exercisesettings.h"
#include "toolkit/colour.h"
#include "toolkit/fonts.h"
#include "toolkit/picture.h"
#include "toolkit/units.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace supervisor {

namespace {

constexpr common::ColourValue lightYellow = 0x0080FFFF;
constexpr common::ColourValue black = 0x00000000;
constexpr common::ColourValue white = 0x00FFFFFF;
constexpr common::ColourValue lightGrey = 0x00C0C0C0;
constexpr int pictureCount = 9;
constexpr int smallestIndex = 1;
constexpr int largestIndex = 2;

const QString sansSerif = QStringLiteral("MS Sans Serif");

void place(QWidget *widget, int left, int top, int width, int height) {
    widget->setGeometry(common::twipsRect(left, top, width, height));
}

void setColours(QWidget *widget, common::ColourValue background, common::ColourValue text) {
    common::setBackgroundColour(widget, background);
    common::setTextColour(widget, text);
}

// A caption on the window: left and top aligned, cut off rather than wrapped.
void setUpLabel(QLabel *label, const QString &caption, int left, int top, int width, int height) {
    label->setText(caption);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(common::designFont(sansSerif, 12, true));
    setColours(label, lightYellow, common::systemWindowText);
    place(label, left, top, width, height);
}

void setUpOption(common::Option3D *option, double points, common::ColourValue text, int left,
                 int top, int width, int height) {
    place(option, left, top, width, height);
    option->setCaptionFont(common::designFont(sansSerif, points, true));
    common::setTextColour(option, text);
}

// Both captions of a pair in one size: the size that fits the longer one.
void matchCaptions(const std::array<common::Option3D *, 2> &pair) {
    const int pixelSize = std::min(pair[0]->font().pixelSize(), pair[1]->font().pixelSize());
    for (common::Option3D *option : pair) {
        QFont font = option->captionFont();
        font.setPixelSize(pixelSize);
        option->setCaptionFont(font);
    }
}

common::Int16 labelNumber(const QLabel *label) {
    bool ok = false;
    const int value = label->text().toInt(&ok);
    if (!ok)
        throw common::Error(QStringLiteral("\"%1\" är inget heltal.").arg(label->text()));
    return common::toInt16(value);
}

common::Int16 flag(const std::array<common::Option3D *, 2> &pair) {
    return pair[0]->isChecked() ? -1 : 0;
}

void select(const std::array<common::Option3D *, 2> &pair, common::Int16 value) {
    pair[value == -1 ? 0 : 1]->setChecked(true);
}

// The preview of a picture that can't be shown: an empty box, crossed out.
common::Picture unshownPicture() {
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(192, 0, 0), 2));
    painter.drawLine(QPointF(2, 2), QPointF(30, 30));
    painter.drawLine(QPointF(30, 2), QPointF(2, 30));
    painter.end();
    return common::Picture::fromImage(image);
}

} // namespace

Form1::Form1(common::Services services, QWidget *parent)
    : QWidget(parent)
    , m_services(services) {
    layOutWindow();
    layOutChooser();
    layOutNumbers();
    layOutSwitches();
    orderTabs();
    connectEvents();
}

void Form1::layOutWindow() {
    setWindowTitle(QStringLiteral("Varnelkontor"));
    // The frame is fixed, so a maximise box could only do nothing: the window offers none.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(common::twipsToPixels(9435), common::twipsToPixels(6780));
    setFont(common::designFont(sansSerif, 8.25, true));
    setColours(this, lightYellow, black);
}

// The picture chooser.
void Form1::layOutChooser() {
    Label2 = new QLabel(this);
    setUpLabel(Label2, QStringLiteral("Välj 9st. bilder"), 960, 240, 2295, 375);
    Dir1 = new common::DirListBox(this);
    place(Dir1, 960, 600, 2175, 2790);
    Dir1->setFont(common::designFont(sansSerif, 9.75, true));
    setColours(Dir1, white, black);

    Text1 = new QLineEdit(this);
    place(Text1, 3120, 120, 2160, 495);
    Text1->setFont(common::designFont(sansSerif, 12, true));
    Text1->hide();

    File1 = new common::FileListBox(this);
    place(File1, 3120, 600, 2175, 2730);
    File1->setFont(common::designFont(sansSerif, 12, true));
    setColours(File1, common::systemWindowBackground, common::systemWindowText);
    File1->setPattern(QStringLiteral("*.ico"));
    File1->setPath(Dir1->path());

    Label1 = new QLabel(this);
    setUpLabel(Label1, QStringLiteral("Valda bilder"), 5640, 240, 1815, 375);
    List1 = new common::ListBox(this);
    place(List1, 5640, 600, 2175, 2730);
    List1->setFont(common::designFont(sansSerif, 12, true));
    setColours(List1, common::systemWindowBackground, black);

    Image1 = new common::Image(this);
    place(Image1, 8040, 600, 540, 540);
    Image1->setSunkenBorder(true);

    List2 = new common::ListBox(this);
    place(List2, 8040, 1320, 855, 615);
    setColours(List2, common::systemWindowBackground, black);
    List2->hide();

    Command3D1 = new common::Command3D(QStringLiteral("Lägg till"), this);
    place(Command3D1, 7200, 2040, 2175, 495);
    Command3D1->setFont(common::designFont(sansSerif, 12, true));
    common::setTextColour(Command3D1, common::systemWindowText);
    Command3D1->hide(); // lies over List1; adding is by double click only
}

// The three numbers.
void Form1::layOutNumbers() {
    for (QLabel *&label : Label4)
        label = new QLabel(this);
    for (QLabel *&value : Label3)
        value = new QLabel(this);
    for (common::VScrollBar *&bar : VScroll1)
        bar = new common::VScrollBar(this);

    setUpLabel(Label4[3], QStringLiteral("Mellan vilka tavrinor:"), 4560, 3720, 2415, 375);
    setUpLabel(Label4[0], QStringLiteral("Antal övningar"), 960, 4080, 1815, 375);
    setUpLabel(Label4[1], QStringLiteral("Minsta tavrin"), 3840, 4080, 1815, 375);
    setUpLabel(Label4[2], QStringLiteral("Högsta tavrin"), 6000, 4080, 1815, 375);
    const std::array<int, 3> groupLeft{960, 3840, 6000};
    for (std::size_t i = 0; i < Label3.size(); ++i) {
        QLabel *value = Label3[i];
        value->setText(QStringLiteral("3"));
        value->setAlignment(Qt::AlignCenter);
        value->setFont(common::designFont(QStringLiteral("Times New Roman"), 30, false));
        value->setFrameStyle(QFrame::Box | QFrame::Plain);
        value->setLineWidth(1);
        setColours(value, common::systemWindowBackground, common::systemWindowText);
        place(value, groupLeft[i], 4440, 735, 855);

        common::VScrollBar *bar = VScroll1[i];
        place(bar, groupLeft[i] + 750, 4440, 255, 855);
        common::setBackgroundColour(bar, common::systemButtonFace);
        bar->setRange(1, 9);
        bar->setSteps(1, 1);
        bar->setValue(3);
    }
}

// The switches and the two buttons.
void Form1::layOutSwitches() {
    Label6 = new QLabel(this);
    setUpLabel(Label6, QStringLiteral("Ljud"), 960, 5640, 855, 375);
    Panel3D2 = new common::Panel3D(this);
    place(Panel3D2, 960, 6000, 1215, 735);
    setColours(Panel3D2, common::systemButtonFace, common::systemWindowText);
    Option3D1 = {new common::Option3D(QStringLiteral("På"), Panel3D2),
                 new common::Option3D(QStringLiteral("Av"), Panel3D2)};
    setUpOption(Option3D1[0], 24, common::systemWindowText, 120, 120, 615, 255);
    setUpOption(Option3D1[1], 24, common::systemWindowText, 120, 360, 615, 255);
    matchCaptions(Option3D1);
    Option3D1[1]->setChecked(true);

    Label7 = {new QLabel(this), new QLabel(this)};
    setUpLabel(Label7[0], QStringLiteral("KLAR-knapp"), 2760, 5640, 1575, 375);
    Panel3D1 = new common::Panel3D(this);
    place(Panel3D1, 2760, 6000, 1215, 750);
    setColours(Panel3D1, common::systemButtonFace, common::systemWindowText);
    Option3D2 = {new common::Option3D(QStringLiteral("Synlig"), Panel3D1),
                 new common::Option3D(QStringLiteral("Osynlig"), Panel3D1)};
    setUpOption(Option3D2[0], 24, common::systemWindowText, 120, 120, 975, 255);
    setUpOption(Option3D2[1], 24, common::systemWindowText, 120, 360, 855, 255);
    matchCaptions(Option3D2);
    Option3D2[0]->setChecked(true);

    setUpLabel(Label7[1], QStringLiteral("STOPP-knapp"), 4560, 5640, 1935, 375);
    SSPanel1 = new common::Panel3D(this);
    place(SSPanel1, 4560, 6000, 1215, 735);
    setColours(SSPanel1, lightGrey, black);
    SSOption1 = {new common::Option3D(QStringLiteral("Synlig"), SSPanel1),
                 new common::Option3D(QStringLiteral("Osynlig"), SSPanel1)};
    setUpOption(SSOption1[0], 8.25, black, 120, 120, 975, 255);
    setUpOption(SSOption1[1], 8.25, black, 120, 360, 975, 255);
    matchCaptions(SSOption1);
    SSOption1[0]->setChecked(true);

    Command3D2 = new common::Command3D(QStringLiteral("Spara"), this);
    Command3D3 = new common::Command3D(QStringLiteral("Avbryt"), this);
    for (common::Command3D *button : {Command3D2, Command3D3}) {
        button->setFont(common::designFont(sansSerif, 12, true));
        common::setTextColour(button, common::systemWindowText);
    }
    place(Command3D2, 8160, 5160, 1215, 735);
    place(Command3D3, 8160, 6000, 1215, 735);
}

void Form1::orderTabs() {
    const std::array<QWidget *, 14> tabOrder{Dir1,         File1,        List1,        VScroll1[0],
                                             Option3D1[0], Option3D1[1], Command3D2,   Command3D3,
                                             Option3D2[0], Option3D2[1], SSOption1[0], SSOption1[1],
                                             VScroll1[1],  VScroll1[2]};
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void Form1::connectEvents() {
    connect(Dir1, &common::DirListBox::pathChanged, this, guarded(&Form1::followDirectory));
    connect(File1, &common::FileListBox::rowClicked, this, guarded(&Form1::previewFile));
    connect(File1, &common::FileListBox::rowDoubleClicked, this, guarded(&Form1::addFile));
    connect(File1, &common::FileListBox::enterPressed, this, guarded(&Form1::addSelectedFile));
    connect(Command3D1, &common::Command3D::clicked, this, guarded(&Form1::addFile));
    connect(List1, &common::ListBox::rowClicked, this, guarded(&Form1::previewChosen));
    connect(List1, &common::ListBox::rowDoubleClicked, this, guarded(&Form1::removeChosen));
    connect(List1, &common::ListBox::deletePressed, this, guarded(&Form1::removeChosen));
    for (std::size_t i = 0; i < VScroll1.size(); ++i)
        connect(VScroll1[i], &common::VScrollBar::valueChanged, this,
                guarded(&Form1::changeValue, common::Int16(i)));
    connect(Command3D2, &common::Command3D::clicked, this, guarded(&Form1::save));
    connect(Command3D3, &common::Command3D::clicked, this, guarded(&Form1::cancel));
}

void Form1::load() {
    Form2.showBackdrop();
    hamta();
    m_chosenCount = common::toInt16(List1->count());
}

bool Form1::start() {
    if (!common::guarded(m_services.errors, [this] { load(); }))
        return false;
    Form2.showInFront(*this);
    return true;
}

void Form1::closeEvent(QCloseEvent *event) {
    Form2.close();
    event->accept();
    emit unloaded();
}

void Form1::hamta() {
    if (!QFileInfo::exists(common::settingsFileName())) {
        // A first settings file: the window keeps its design values until "Spara" writes one.
        m_services.messages.information(
            QStringLiteral("Inställningsfilen %1 finns inte ännu. Välj nio bilder och klicka på "
                           "\"Spara\", så skapas den.")
                .arg(QFileInfo(common::settingsFileName()).absoluteFilePath()));
        return;
    }
    const common::ExerciseSettings settings = common::readExerciseSettings();
    // A number the bars can't hold fails the start; said here, the error names the setting.
    const std::array<common::Int16, 3> numbers{settings.taskCount, settings.smallestNumber,
                                               settings.largestNumber};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (numbers[i] < VScroll1[i]->minimum() || numbers[i] > VScroll1[i]->maximum())
            throw common::settingsItemError(
                common::settingsItemLabel(int(i) + 1), int(i) + 1,
                QFileInfo(common::settingsFileName()).absoluteFilePath(),
                QStringLiteral("talet %1 är utanför %2–%3. Ändra det i filen till ett tal från "
                               "%2 till %3")
                    .arg(numbers[i])
                    .arg(VScroll1[i]->minimum())
                    .arg(VScroll1[i]->maximum()));
    }

    Label3[0]->setText(QString::number(settings.taskCount));
    VScroll1[0]->setValue(settings.taskCount);
    // With the largest bar at the top first, a stored smallest number above 3 is not pushed
    // down to the largest bar's start value.
    VScroll1[largestIndex]->setValue(VScroll1[largestIndex]->maximum());
    Label3[smallestIndex]->setText(QString::number(settings.smallestNumber));
    VScroll1[smallestIndex]->setValue(settings.smallestNumber);
    Label3[largestIndex]->setText(QString::number(settings.largestNumber));
    VScroll1[largestIndex]->setValue(settings.largestNumber);

    select(Option3D1, settings.soundOn);
    select(Option3D2, settings.doneButtonVisible);
    select(SSOption1, settings.quitButtonVisible);

    for (const common::PictureRef &picture : settings.pictures) {
        List1->append(picture.fileName);
        List2->append(picture.directory);
    }
}

void Form1::changeValue(common::Int16 index) {
    common::VScrollBar *bar = VScroll1[std::size_t(index)];
    switch (index) {
    case 0:
        Label3[0]->setText(QString::number(bar->value()));
        break;
    case smallestIndex:
        // Above the largest: one step down, which runs this handling again until it fits.
        if (bar->value() <= VScroll1[largestIndex]->value())
            Label3[smallestIndex]->setText(QString::number(bar->value()));
        else
            bar->setValue(common::sub16(bar->value(), 1));
        break;
    case largestIndex:
        if (bar->value() >= VScroll1[smallestIndex]->value())
            Label3[largestIndex]->setText(QString::number(bar->value()));
        else
            bar->setValue(common::add16(bar->value(), 1));
        break;
    default:
        break;
    }
}

void Form1::save() {
    if (List1->count() != pictureCount) {
        m_services.messages.warning(QStringLiteral("Du måste välja 9 st. bilder ur listan "));
        return;
    }
    common::ExerciseSettings settings;
    settings.taskCount = labelNumber(Label3[0]);
    settings.smallestNumber = labelNumber(Label3[smallestIndex]);
    settings.largestNumber = labelNumber(Label3[largestIndex]);
    settings.soundOn = flag(Option3D1);
    settings.doneButtonVisible = flag(Option3D2);
    settings.quitButtonVisible = flag(SSOption1);
    for (int row = 0; row < pictureCount; ++row)
        settings.pictures[std::size_t(row)] = {List1->rowText(row), List2->rowText(row)};
    try {
        common::writeExerciseSettings(settings);
    } catch (const common::Error &e) {
        // The old file is still whole and the edits are still here: the supervisor may retry.
        m_services.messages.warning(e.message() +
                                    QStringLiteral(" Dina val finns kvar i fönstret, så du kan "
                                                   "rätta felet och klicka på \"Spara\" igen."));
        return;
    }
    cancel();
}

void Form1::cancel() {
    m_services.end.end();
}

void Form1::followDirectory() {
    File1->setPath(Dir1->path());
}

void Form1::previewFile() {
    Text1->setText(File1->fileName());
    preview(common::picturePath(Dir1->path(), Text1->text()));
}

void Form1::addFile() {
    if (m_chosenCount < pictureCount)
        addpicture();
}

// Enter on a file does what a double click on it does: its click, then the adding.
void Form1::addSelectedFile() {
    previewFile();
    addFile();
}

void Form1::addpicture() {
    const common::Int16 n = m_chosenCount;
    bool found = false;
    if (n > 0) {
        for (int row = 0; row < n; ++row) {
            if (Text1->text() == List1->rowText(row))
                found = true;
        }
        if (Text1->text().isEmpty())
            found = true;
    }
    if (found)
        return;

    const QString directory = Dir1->path();
    const QString path = common::picturePath(directory, Text1->text());
    if (!common::isStorableText(Text1->text()) || !common::isStorableText(directory)) {
        m_services.messages.warning(
            QStringLiteral("%1 kan inte väljas: inställningsfilen kan inte spara ett namn eller en "
                           "katalog med citattecken (\") eller radbrytning.")
                .arg(path));
        return;
    }
    try {
        common::Picture::load(path);
    } catch (const common::Error &e) {
        m_services.messages.warning(e.message());
        return;
    }

    List1->append(Text1->text());
    List2->append(directory);
    m_chosenCount = common::add16(m_chosenCount, 1);
}

void Form1::previewChosen() {
    m_selectedRow = common::toInt16(List1->selectedRow());
    if (m_selectedRow < 0)
        return;
    preview(common::picturePath(List2->rowText(m_selectedRow), List1->rowText(m_selectedRow)));
}

void Form1::removeChosen() {
    m_selectedRow = common::toInt16(List1->selectedRow());
    if (m_selectedRow < 0)
        return; // nothing chosen to remove; the two lists stay paired
    List1->removeRow(m_selectedRow);
    List2->removeRow(m_selectedRow);
    m_chosenCount = common::sub16(m_chosenCount, 1);
}

// A picture that can't be shown is no reason to lose the supervisor's edits, nor to stop the
// click: the preview says so without a message box, which would swallow the second click of a
// double click that removes the picture's row.
void Form1::preview(const QString &path) {
    try {
        Image1->setPicture(common::Picture::load(path));
        Image1->setToolTip(QString());
    } catch (const common::Error &e) {
        Image1->setPicture(unshownPicture());
        Image1->setToolTip(e.message());
    }
}

} // namespace supervisor
