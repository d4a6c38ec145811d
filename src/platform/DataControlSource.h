#pragma once

#include "platform/ClipboardWay.h"
#include "platform/PipeWriter.h"
#include "platform/WaylandConnection.h"
#include "slots/SlotText.h"

#include <QTimer>
#include <QtGlobal>

#include <utility>

// The bar's text on the seat's clipboard through a clipboard manager protocol
// (P, see DataControlProtocol.h): offered under every text type, and handed to
// each reader that asks through the pipe it gives, by a PipeWriter of its own.
template <typename P> class DataControlSource
{
public:
    // `finished` turns true once the compositor no longer lets the bar set the clipboard.
    DataControlSource(WaylandConnection *connection, typename P::Manager *manager, typename P::Device *device,
                      const bool &finished)
        : m_connection(connection), m_manager(manager), m_device(device), m_finished(finished)
    {
    }
    DataControlSource(const DataControlSource &) = delete;
    DataControlSource &operator=(const DataControlSource &) = delete;

    void clear();
    void setText(const QByteArray &utf8);
    // True while our text is the clipboard.
    bool owns() const { return m_source != nullptr; }
    // Our text, as UTF-8.
    const QByteArray &text() const { return m_text; }
    // At a clean exit: readers that are still taking our text get the rest of
    // it first, as long as the deadline allows; once we are gone they would
    // see its end where it is cut off.
    void finishReaders(QDeadlineTimer deadline);
    // Gives the clipboard up.
    void withdraw();

private:
    static void textAsked(void *data, typename P::Source *, const char *type, int32_t fd);
    static void sourceCancelled(void *data, typename P::Source *source);

    WaylandConnection *m_connection;
    typename P::Manager *m_manager;
    typename P::Device *m_device;
    const bool &m_finished;
    // Ours while it is the clipboard, and the text it hands out.
    typename P::Source *m_source = nullptr;
    QByteArray m_text;
    // Emptied by the bar, to be passed on unless a copy comes first.
    bool m_clearing = false;
};

template <typename P> void DataControlSource<P>::withdraw()
{
    if (m_source != nullptr) {
        P::destroy(m_source);
        m_source = nullptr;
    }
    m_text.clear();
}

template <typename P> void DataControlSource<P>::finishReaders(QDeadlineTimer deadline)
{
    for (PipeWriter *writer : m_connection->findChildren<PipeWriter *>(Qt::FindDirectChildrenOnly)) {
        writer->finish(deadline);
    }
}

template <typename P> void DataControlSource<P>::clear()
{
    // Emptied once the present event is handled, unless a copy follows: a
    // clipboard manager takes an empty clipboard at once, and its text would
    // then come after the copy's and replace it.
    m_clearing = true;
    QTimer::singleShot(0, m_connection, [this] {
        if (std::exchange(m_clearing, false) && !m_finished) {
            P::select(m_device, nullptr);
            m_connection->flush();
        }
    });
}

template <typename P> void DataControlSource<P>::setText(const QByteArray &utf8)
{
    m_clearing = false;
    if (m_finished) {
        qWarning("The Wayland compositor no longer lets the bar set the clipboard.");
        return;
    }
    typename P::Source *source = P::source(m_manager);
    static const typename P::SourceListener sourceListener = {&textAsked, &sourceCancelled};
    P::listen(source, &sourceListener, this);
    // STRING is Latin-1: a text beyond it is not offered as STRING rather than
    // handed over with its other characters lost.
    const bool latin1 = latin1FromUtf8(utf8);
    for (const QByteArray &type : offeredTextTypes()) {
        if (latin1 || !isLatin1TextType(type)) {
            P::offer(source, type.constData());
        }
    }
    P::select(m_device, source);
    // The old source goes once the new one has taken its place, so that the
    // clipboard is never empty in between.
    withdraw();
    m_source = source;
    // The slot's own bytes, shared: every reader gets them as they are.
    m_text = utf8;
    m_connection->flush();
}

template <typename P>
void DataControlSource<P>::textAsked(void *data, typename P::Source *, const char *type, int32_t fd)
{
    auto *self = static_cast<DataControlSource *>(data);
    QByteArray bytes = self->m_text;
    if (isLatin1TextType(QByteArray(type))) {
        latin1FromUtf8(self->m_text, &bytes);
    }
    new PipeWriter(fd, bytes, self->m_connection);
}

template <typename P> void DataControlSource<P>::sourceCancelled(void *data, typename P::Source *source)
{
    // Another program's text is the clipboard now.
    auto *self = static_cast<DataControlSource *>(data);
    P::destroy(source);
    if (self->m_source == source) {
        self->m_source = nullptr;
        self->m_text.clear();
    }
}
