#pragma once
// What a tool window needs of the program: the port choice of the main
// window, the shared command buffer, the sender, and the seam. The main
// window provides it; the tool windows know nothing else of it.
#include "core/bytestring.h"
#include "core/dispatch.h"

class Outside;

class ToolHost {
public:
    virtual ~ToolHost() = default;
    virtual Outside &outside() = 0;
    virtual Sender &sender() = 0;
    // The one command string of the program; every command overwrites it.
    virtual ByteString &CommandBuffer() = 0;
    virtual PortChoice portChoice() const = 0;
    // Sends the main window's way: its port prompt, its route.
    virtual void Dispatch(const ByteString &command) = 0;
    // Selects a port entry ("COM3", "LPT1", "Ethernet") and a rate ("19200")
    // in the main window; a network printer's address goes into its IP field.
    virtual void choosePort(const QString &entry, const QString &baud, const QString &address = QString()) = 0;
};

// How the main window opens the tool windows without knowing them: the
// program that made them shows the one asked for.
class ToolOpener {
public:
    enum class Tool { BlackMark, Led, Logo, Status, Log };
    virtual ~ToolOpener() = default;
    virtual void show(Tool tool) = 0;
    // The tool windows go with the main window.
    virtual void hideAll() = 0;
};
