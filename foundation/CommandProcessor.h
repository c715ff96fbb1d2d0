#pragma once

#include "foundation/List.h"
#include "foundation/String.h"

class CommandProcessor;

// One step of a state machine run by a CommandProcessor. execute() does the
// step's work and chooses the next step with setNext(); leaving the next id
// at -1 ends the run.
class Command {
public:
    Command(const String& name, int id) : m_name(name), m_id(id) {}
    virtual ~Command() = default;
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    virtual bool execute() = 0;

    const String& name() const { return m_name; }
    int id() const { return m_id; }
    int nextId() const { return m_nextId; }
    void setNext(int id) { m_nextId = id; }
    void resetNext() { m_nextId = -1; }
    CommandProcessor* owner() const { return m_owner; }
    void setOwner(CommandProcessor* owner) { m_owner = owner; }
    bool isValid() const { return m_id >= 0 && m_owner != nullptr; }
    const String& error() const { return m_error; }
    void setError(const String& error) { m_error = error; }

private:
    String m_name;
    int m_id;
    int m_nextId = -1;
    CommandProcessor* m_owner = nullptr;
    String m_error = L"<no error>";
};

// Owns a list of commands and runs them as a chain: from the start command,
// each executed command names the next by id.
class CommandProcessor {
public:
    CommandProcessor() = default;
    virtual ~CommandProcessor();
    CommandProcessor(const CommandProcessor&) = delete;
    CommandProcessor& operator=(const CommandProcessor&) = delete;

    // Takes ownership and makes this processor the command's owner.
    void addCommand(Command* command);
    // Both delete; both refuse (false) while running.
    bool removeCommand(int id);
    bool clearCommands();
    // The first command in list order with the id, else null.
    Command* findCommand(int id) const;
    bool hasCommands() const { return !m_commands.isEmpty(); }
    bool isValid() const;

    // -1 starts at the first command; ignored while running.
    void setStartId(int id);
    int startId() const { return m_startId; }
    bool isRunning() const { return m_running; }
    const String& error() const { return m_error; }
    int executedCount() const { return m_executedCount; }

    // True when the chain ended with a command that named no next one.
    bool runCommands();

private:
    Command* startCommand() const;
    bool stopWith(const String& error);

    List<Command*> m_commands;
    bool m_running = false;
    String m_error = L"no error";
    int m_startId = -1;
    int m_executedCount = 0;
};
