#pragma once

#include <QLabel>

/**
 * A banner: one caption, centred, light yellow bold on red. It lies over
 * its bar and covers it while shown.
 */
class TextPanel : public QLabel
{
    Q_OBJECT

public:
    explicit TextPanel(const QString &caption, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(TextPanel)
};
