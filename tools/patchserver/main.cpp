// Serves a folder over HTTP on loopback, for the demo and for trying Skyvane
// by hand: skyvane-patchserver FOLDER [PORT-FILE]
// It listens on a free port of 127.0.0.1, writes the port to PORT-FILE (or
// standard output) and serves until it is stopped.

#include "patchserver.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        QTextStream(stderr) << "usage: skyvane-patchserver FOLDER [PORT-FILE]\n";
        return 2;
    }
    PatchServer server;
    server.serveDirectory(args.at(1));
    if (!server.listen()) {
        QTextStream(stderr) << "skyvane-patchserver: cannot listen on 127.0.0.1\n";
        return 1;
    }
    const QByteArray port = QByteArray::number(server.port()) + '\n';
    if (args.size() > 2) {
        QFile file(args.at(2) + QStringLiteral(".part"));
        if (!file.open(QIODevice::WriteOnly) || file.write(port) != port.size())
            return 1;
        file.close();
        QFile::remove(args.at(2));
        file.rename(args.at(2)); // appears whole, so a waiting script never reads half a number
    } else {
        QTextStream(stdout) << port << Qt::flush;
    }
    return app.exec();
}
