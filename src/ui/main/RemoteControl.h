#pragma once

#include "app/RemoteServer.h"

#include <QObject>

class Form1;
class ServerTime;

// The bar's controls reached without its window: the requests of a velmora
// started with --copy, --capture or --show. Each request runs as the bar's own
// slot button, capture button or tray icon would run it.
class RemoteControl : public QObject
{
    Q_OBJECT
public:
    explicit RemoteControl(Form1 &form);

    // Lets velmora started from the command line reach this bar; false with
    // the reason when it cannot.
    bool listen(QString &error);

private:
    void request(const CommandLineRequest &request, const RemoteServer::Reply &reply);
    void capture(int k, const RemoteServer::Reply &reply);
    void show();

    Form1 &m_form;
    ServerTime *m_time = nullptr;
    RemoteServer *m_server = nullptr;
};
