// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A LocalServer that answers from a thread of its own: it keeps answering while the test
// waits for a child process, and its work stays out of the main thread's event loop and
// processor time.
//
//   ServerThread server;
//   server.inThread([&] { testsupport::recordWikidata(server.local()); });
//   ... the child process or the measured run talks to server.local().url() ...

#include "localserver.h"

#include <QObject>
#include <QThread>
#include <functional>
#include <memory>

namespace testsupport {

class ServerThread {
public:
    ServerThread();
    ~ServerThread();
    ServerThread(const ServerThread &) = delete;
    ServerThread &operator=(const ServerThread &) = delete;

    // Runs the work in the server's thread and waits for it: every use of local() but url() goes through here.
    void inThread(const std::function<void()> &work);
    LocalServer &local() { return *server; }
    // Processor time of the server's thread so far, in milliseconds.
    double cpuMs();

private:
    QThread thread;
    QObject context;
    std::unique_ptr<LocalServer> server;
};

// The recorded answers of the films the look-up tests use: "Alien" (two films of that title,
// 1979 and 2023, and a franchise), and an empty search for any other title.
void recordWikidata(LocalServer &server);
void recordTmdb(LocalServer &server);

} // namespace testsupport
