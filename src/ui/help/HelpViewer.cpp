#include "ui/help/HelpViewer.h"

#include <QDir>
#include <QFileInfo>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpViewer::HelpViewer(QWidget *parent) : QWidget(parent, Qt::Window), m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("helpViewer"));
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(560, 480);
}

void HelpViewer::openContents(const QStringList &folders, const QString &fileName)
{
    QString found;
    for (const QString &folder : folders) {
        const QFileInfo info(QDir(folder), fileName);
        if (info.isFile() && info.isReadable()) {
            found = info.absoluteFilePath();
            break;
        }
    }
    if (found.isEmpty()) {
        setWindowTitle(tr("Help"));
        m_browser->setSource(QUrl());
        m_browser->setPlainText(
            tr("Cannot find the help file %1.\n\nLooked in:\n%2").arg(fileName, folders.join(QLatin1Char('\n'))));
    } else {
        // The help file is HTML whatever its extension says.
        m_browser->setSource(QUrl::fromLocalFile(found), QTextDocument::HtmlResource);
        m_browser->verticalScrollBar()->setValue(0);
        setWindowTitle(m_browser->documentTitle().isEmpty() ? fileName : m_browser->documentTitle());
    }
    show();
    raise();
    activateWindow();
}
