#include "tools/TerminationRun.h"

#include "app/menus/StringTable.h"
#include "sysutils/MessageTemplate.h"

namespace {
const unsigned kErrorString = 56;
}

TerminationRun::TerminationRun(ProcessTerminator& terminator, uint32_t ownProcessId, const std::string& errorTemplate)
    : terminator(terminator), dwOwnProcessId(ownProcessId), strErrorTemplate(errorTemplate),
      strOwnTemplate(StringTable::LoadOwn(kErrorString))
{
}

std::vector<size_t> TerminationRun::Order(const std::vector<TerminationEntry>& entries, uint32_t ownProcessId)
{
    std::vector<size_t> order, own;
    for (size_t i = 0; i < entries.size(); ++i)
        (entries[i].dwProcessId == ownProcessId ? own : order).push_back(i);
    order.insert(order.end(), own.begin(), own.end());
    return order;
}

std::string TerminationRun::FormatError(const TerminationEntry& entry, uint32_t code, const std::string& text) const
{
    return MessageTemplate::FormatChecked(strErrorTemplate.c_str(), strOwnTemplate.c_str(),
                                   {entry.strName, static_cast<int32_t>(entry.dwProcessId),
                                    static_cast<int32_t>(code), text},
                                   kMaxErrorText);
}

size_t TerminationRun::Run(std::vector<TerminationEntry>& entries, AfterEach afterEach, void* context)
{
    errors.clear();
    for (size_t index : Order(entries, dwOwnProcessId)) {
        if (index >= entries.size()) break;  // the caller shortened the list meanwhile
        TerminationEntry& entry = entries[index];
        if (entry.nState != TerminationEntry::Pending) continue;
        if (terminator.Terminate(entry.dwProcessId, kTimeout, entry.qwCreationTime)) {
            entry.nState = TerminationEntry::Terminated;
        } else {
            entry.nState = TerminationEntry::Failed;
            errors.push_back(FormatError(entry, terminator.LastErrorCode(), terminator.LastErrorText()));
        }
        if (afterEach) afterEach(index, context);
    }
    return errors.size();
}

std::string TerminationRun::JoinedErrors() const
{
    std::string all;
    for (const std::string& text : errors) all += text;
    return all;
}
