#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>

namespace ui {

// Every event callback below runs through Application::guard, so an error a
// handler lets escape shows the error window and the loop goes on.

// Picture. JPEG files are decoded with libjpeg, other formats by Qt. A
// picture set by path is decoded when first painted or asked for: until then
// only its size is read, so windows that are made hidden cost little.
class Image : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString picture READ picturePath WRITE setPicture)
    Q_PROPERTY(bool stretch READ stretch WRITE setStretch)
    Q_PROPERTY(bool center READ center WRITE setCenter)
    Q_PROPERTY(bool autoSize READ autoSize WRITE setAutoSize)
public:
    explicit Image(QWidget* parent = nullptr);
    std::function<void()> OnMouseMove;

    // Raises rtl::Error if the file cannot be opened or is not a picture.
    void setPicture(const QString& resourcePath);
    void setImage(const QImage& image);
    QString picturePath() const { return path_; }
    const QImage& image() const;
    void setStretch(bool on);
    bool stretch() const { return stretch_; }
    void setCenter(bool on);
    bool center() const { return center_; }
    void setAutoSize(bool on);
    bool autoSize() const { return autoSize_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void fit();
    QString path_;
    mutable QImage image_;
    mutable bool pending_ = false; // path_ not decoded yet
    QSize size_;
    bool stretch_ = false;
    bool center_ = false;
    bool autoSize_ = false;
};

} // namespace ui
