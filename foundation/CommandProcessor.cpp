#include "foundation/CommandProcessor.h"

CommandProcessor::~CommandProcessor()
{
    for (Command* command : m_commands)
        delete command;
}

void CommandProcessor::addCommand(Command* command)
{
    command->setOwner(this);
    m_commands.append(command);
}

bool CommandProcessor::removeCommand(int id)
{
    if (m_running)
        return false;
    for (auto* node = m_commands.first(); node; node = node->next) {
        if (node->value->id() != id)
            continue;
        delete node->value;
        m_commands.removeNode(node);
        return true;
    }
    return false;
}

bool CommandProcessor::clearCommands()
{
    if (m_running)
        return false;
    for (Command* command : m_commands)
        delete command;
    m_commands.clear();
    return true;
}

Command* CommandProcessor::findCommand(int id) const
{
    for (Command* command : m_commands) {
        if (command->id() == id)
            return command;
    }
    return nullptr;
}

bool CommandProcessor::isValid() const
{
    if (m_commands.isEmpty())
        return false;
    for (const Command* command : m_commands) {
        if (!command->isValid())
            return false;
    }
    return true;
}

void CommandProcessor::setStartId(int id)
{
    if (!m_running)
        m_startId = id;
}

Command* CommandProcessor::startCommand() const
{
    if (m_startId == -1)
        return m_commands.isEmpty() ? nullptr : m_commands.first()->value;
    return findCommand(m_startId);
}

bool CommandProcessor::stopWith(const String& error)
{
    m_error = error;
    m_running = false;
    return false;
}

bool CommandProcessor::runCommands()
{
    if (m_running || !isValid()) {
        m_error = L"unknown error";
        return false;
    }
    m_running = true;
    m_executedCount = 0;
    Command* command = startCommand();
    if (!command)
        return stopWith(L"unknown error");
    for (;;) {
        command->resetNext();
        ++m_executedCount;
        if (!command->execute())
            return stopWith(L"command error, id: " + String::number(command->id()));
        if (command->nextId() < 0) {
            m_running = false;
            return true;
        }
        command = findCommand(command->nextId());
        if (!command)
            return stopWith(L"command not found");
    }
}
