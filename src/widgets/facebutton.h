#pragma once

#include <QColor>
#include <QPushButton>

/**
 * A push button whose face color can be set at run time and shows in
 * every widget style: the style draws the bevel and the caption, the face
 * inside the bevel is filled with the color.
 */
class FaceButton : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(QColor faceColor READ faceColor WRITE setFaceColor NOTIFY faceColorChanged)
    Q_PROPERTY(bool fontBold READ fontBold WRITE setFontBold)

public:
    explicit FaceButton(const QString &caption, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(FaceButton)

    /// The face color; invalid means the style's own face.
    QColor faceColor() const { return m_face; }
    void setFaceColor(const QColor &color);

    bool fontBold() const { return font().bold(); }
    void setFontBold(bool bold);

Q_SIGNALS:
    void faceColorChanged(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_face;
};
