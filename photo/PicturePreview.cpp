#include "PicturePreview.h"

#include "photo/PictureFile.h"

#include <QDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

QRect FitKeepingProportions(QSize picture, const QRect& box)
{
    if (picture.isEmpty() || box.isEmpty())
        return QRect();
    const QSize fitted = picture.scaled(box.size(), Qt::KeepAspectRatio);
    return QRect(box.left() + (box.width() - fitted.width()) / 2, box.top() + (box.height() - fitted.height()) / 2,
                 fitted.width(), fitted.height());
}

QSize WholePictureWindowSize(QSize picture, QSize screen)
{
    const qint64 margin = 8;
    qint64 width = qint64(picture.width()) + margin, height = qint64(picture.height()) + margin;
    if (screen.isValid()) {
        width = std::min(width, qint64(screen.width()) * 9 / 10);
        height = std::min(height, qint64(screen.height()) * 9 / 10);
    }
    const qint64 smallest = 160, largest = QWIDGETSIZE_MAX;
    return QSize(int(std::clamp(width, smallest, largest)), int(std::clamp(height, smallest, largest)));
}

PicturePane::PicturePane(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setMinimumSize(150, 150);
}

PicturePane::~PicturePane() = default;

void PicturePane::SetPicture(std::unique_ptr<TGraphic> picture)
{
    picture_ = std::move(picture);
    update();
}

QRect PicturePane::PictureRect() const
{
    if (!picture_ || picture_->Empty())
        return QRect();
    return FitKeepingProportions(QSize(picture_->Width(), picture_->Height()), contentsRect().adjusted(2, 2, -2, -2));
}

void PicturePane::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    const QRect where = PictureRect();
    if (where.isEmpty())
        return;
    QPainter painter(this);
    picture_->DrawPreview(painter, where);
}

PicturePreview::PicturePreview(QWidget* parent)
    : QWidget(parent), size_(new QLabel(this)), pane_(new PicturePane(this)), previewButton_(new QToolButton(this))
{
    previewButton_->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    previewButton_->setToolTip(QStringLiteral("预览"));
    previewButton_->setEnabled(false);
    connect(previewButton_, &QToolButton::clicked, this, &PicturePreview::ShowWhole);

    auto* top = new QHBoxLayout;
    top->addWidget(size_, 1);
    top->addWidget(previewButton_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addWidget(pane_, 1);
}

void PicturePreview::ShowFile(const QString& fileName)
{
    std::unique_ptr<TGraphic> picture;
    if (QFileInfo(fileName).isFile()) {
        try {
            picture = ReadPictureFile(fileName, PreviewByteLimit);
        } catch (...) {
            // Not a picture we can read: the pane stays blank, the choice is still the user's.
        }
    }
    if (picture && picture->Empty())
        picture.reset();
    fileName_ = picture ? fileName : QString();
    size_->setText(picture ? QStringLiteral("%1 × %2").arg(picture->Width()).arg(picture->Height()) : QString());
    previewButton_->setEnabled(picture != nullptr);
    pane_->SetPicture(std::move(picture));
}

QString PicturePreview::SizeText() const
{
    return size_->text();
}

void PicturePreview::ShowWhole()
{
    const TGraphic* picture = pane_->Picture();
    if (!picture)
        return;
    QDialog window(this);
    window.setWindowTitle(QFileInfo(fileName_).fileName());
    window.setSizeGripEnabled(true);
    auto* pane = new PicturePane(&window);
    pane->SetPicture(picture->Clone());
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(pane);
    const QScreen* screen = QGuiApplication::primaryScreen();
    window.resize(
        WholePictureWindowSize(QSize(picture->Width(), picture->Height()), screen ? screen->availableSize() : QSize()));
    window.exec();
}
