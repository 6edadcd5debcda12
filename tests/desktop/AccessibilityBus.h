#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QTemporaryDir>
#include <QVariantList>
#include <optional>

// The accessibility bus of one session bus: its launcher started there (and ended with this),
// and what a program on that session bus shows of its controls over it. Its calls are waited
// for in the test's event loop, so fake services on the same test process keep answering.
class AccessibilityBus {
public:
    explicit AccessibilityBus(const QString& sessionBusAddress);
    ~AccessibilityBus();
    AccessibilityBus(const AccessibilityBus&) = delete;
    AccessibilityBus& operator=(const AccessibilityBus&) = delete;

    // False when the launcher is missing or its bus never came up.
    bool Available() const { return bus.isConnected(); }
    // Where, on the screen, each showing control of that role ("push button") and accessible name
    // is, in the top-level window of the process that covers screenRect.
    QList<QRect> FindAll(qint64 pid, const QRect& screenRect, const QString& role, const QString& name) const;

private:
    using Reference = std::pair<QString, QString>; // bus name, object path
    QDBusMessage Call(const Reference& object, const QString& interface, const QString& method,
        const QVariantList& arguments = {}) const;
    std::optional<Reference> Application(qint64 pid) const;
    QList<Reference> Children(const Reference& object) const;
    QRect Extents(const Reference& object) const;
    bool Showing(const Reference& object) const;
    QString Property(const Reference& object, const QString& name) const;

    QTemporaryDir runtime;
    QProcess launcher;
    QDBusConnection bus { QString() };
};
