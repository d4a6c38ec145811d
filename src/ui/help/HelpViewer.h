#pragma once

#include <QWidget>

class QTextBrowser;

// The program's own help viewer: a small window that shows an HTML help file.
class HelpViewer : public QWidget
{
    Q_OBJECT
public:
    explicit HelpViewer(QWidget *parent = nullptr);

    // Looks for fileName in the folders, in order, and shows its contents page.
    // A file that is found nowhere is reported in the viewer itself.
    void openContents(const QStringList &folders, const QString &fileName);

private:
    QTextBrowser *m_browser;
};
