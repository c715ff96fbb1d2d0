#include "foundation/XmlParser.h"

#include "foundation/CharHelpers.h"
#include "foundation/CommandProcessor.h"
#include "foundation/XmlDocument.h"

#include <memory>

namespace {

// Ids of the reading states; each is the id of its command.
enum State : int {
    BetweenMarkup = 0,
    AfterOpenBracket = 1,
    AfterElementName = 2,
    InsideElement = 3,
    EndOfStartTag = 4,
    EndTag = 5,
    Comment = 6,
    AttributeList = 7,
    AttributeName = 8,
    BeforeValue = 9,
    AttributeValue = 10,
    StateCount = 11,
};

struct ParseState {
    const wchar_t* text = nullptr;
    int length = 0;
    int pos = 0;
    // The open elements; the first entry is the document root.
    List<XmlElement*> stack;
    XmlElement* current = nullptr;
    wchar_t quote = 0;
    // Created when a start tag's name begins; owned here until the tag
    // ends, so a failure inside the tag releases it.
    std::unique_ptr<XmlElement> pending;
    String name;
    String data;
    String attributeName;
    String attributeValue;

    bool atEnd() const { return pos >= length; }
    wchar_t at() const { return text[pos]; }
};

bool isNameChar(wchar_t c)
{
    return isAlnumChar(c) || c == L'-' || c == L'_' || c == L'.';
}

bool next(Command& command, int state)
{
    command.setNext(state);
    return true;
}

// Reaching the end here is the only way a parse succeeds.
bool readBetweenMarkup(ParseState& s, Command& command)
{
    for (; !s.atEnd(); ++s.pos) {
        const wchar_t c = s.at();
        if (c == L'<') {
            ++s.pos;
            return next(command, AfterOpenBracket);
        }
        if (!isSpaceChar(c))
            return false;
    }
    return true;
}

bool opensComment(const ParseState& s)
{
    return s.pos > 0 && s.text[s.pos - 1] == L'<' && s.pos + 2 < s.length && s.text[s.pos + 1] == L'-'
        && s.text[s.pos + 2] == L'-';
}

bool readAfterOpenBracket(ParseState& s, Command& command)
{
    while (!s.atEnd()) {
        const wchar_t c = s.at();
        if (isNameChar(c)) {
            if (!s.pending) {
                s.pending = std::make_unique<XmlElement>();
                s.name.clear();
                s.data.clear();
            }
            s.name.append(c);
            ++s.pos;
            continue;
        }
        if (s.pending && !s.name.isEmpty())
            return next(command, AfterElementName);
        if (c == L'/')
            return next(command, EndTag);
        if (isSpaceChar(c)) {
            ++s.pos;
            continue;
        }
        if (c != L'!')
            return false;
        if (opensComment(s)) {
            s.pos += 2;
            return next(command, Comment);
        }
        ++s.pos;
    }
    return false;
}

bool readAfterElementName(ParseState& s, Command& command)
{
    if (s.atEnd())
        return false;
    const wchar_t c = s.at();
    if (isSpaceChar(c))
        return next(command, AttributeList);
    if (c == L'/' || c == L'>')
        return next(command, EndOfStartTag);
    return false;
}

bool readInsideElement(ParseState& s, Command& command)
{
    const int start = s.pos;
    while (!s.atEnd() && s.at() != L'<')
        ++s.pos;
    if (s.atEnd())
        return false;
    s.data.append(s.text + start, s.pos - start);
    if (!s.data.isEmpty()) {
        s.current->setText(xmlUnescape(s.current->text() + s.data));
        s.data.clear();
    }
    s.pending.reset();
    ++s.pos;
    return next(command, AfterOpenBracket);
}

bool attachPending(ParseState& s, bool selfClosing)
{
    if (!s.current || !s.pending || s.stack.count() > XmlParser::maxDepth)
        return false;
    s.pending->setName(s.name);
    XmlElement* element = s.pending.release();
    s.current->appendChild(element);
    if (!selfClosing) {
        s.stack.append(element);
        s.current = element;
    }
    return true;
}

bool readEndOfStartTag(ParseState& s, Command& command)
{
    bool selfClosing = false;
    for (; !s.atEnd(); ++s.pos) {
        const wchar_t c = s.at();
        if (c == L'/') {
            selfClosing = true;
            continue;
        }
        if (isSpaceChar(c))
            continue;
        if (c != L'>' || !attachPending(s, selfClosing))
            return false;
        ++s.pos;
        return next(command, selfClosing ? BetweenMarkup : InsideElement);
    }
    return false;
}

// The name in the end tag is not compared with the open element's name.
bool readEndTag(ParseState& s, Command& command)
{
    for (; !s.atEnd(); ++s.pos) {
        const wchar_t c = s.at();
        if (c == L'>')
            break;
        if (!isSpaceChar(c) && !isNameChar(c) && c != L'/')
            return false;
    }
    if (s.atEnd() || s.stack.count() < 2)
        return false;
    auto* last = s.stack.last();
    s.stack.removeNode(last);
    s.current = s.stack.last()->value;
    ++s.pos;
    return next(command, BetweenMarkup);
}

// Starts at the second "-" of the opening, so "<!-->" is a whole comment.
bool readComment(ParseState& s, Command& command)
{
    for (; !s.atEnd(); ++s.pos) {
        if (s.at() == L'>' && s.pos >= 2 && s.text[s.pos - 1] == L'-' && s.text[s.pos - 2] == L'-') {
            ++s.pos;
            return next(command, BetweenMarkup);
        }
    }
    return false;
}

bool readAttributeList(ParseState& s, Command& command)
{
    for (; !s.atEnd(); ++s.pos) {
        const wchar_t c = s.at();
        if (isAlnumChar(c))
            return next(command, AttributeName);
        if (c == L'/' || c == L'>')
            return next(command, EndOfStartTag);
        if (!isSpaceChar(c))
            return false;
    }
    return false;
}

bool readAttributeName(ParseState& s, Command& command)
{
    const int start = s.pos;
    while (!s.atEnd() && isNameChar(s.at()))
        ++s.pos;
    if (s.atEnd())
        return false;
    s.attributeName.append(s.text + start, s.pos - start);
    if (s.attributeName.isEmpty())
        return false;
    return next(command, BeforeValue);
}

bool readBeforeValue(ParseState& s, Command& command)
{
    bool seenEquals = false;
    for (; !s.atEnd(); ++s.pos) {
        const wchar_t c = s.at();
        if (c == L'=') {
            seenEquals = true;
            continue;
        }
        if (isSpaceChar(c))
            continue;
        if ((c != L'"' && c != L'\'') || !seenEquals)
            return false;
        s.quote = c;
        ++s.pos;
        return next(command, AttributeValue);
    }
    return false;
}

bool readAttributeValue(ParseState& s, Command& command)
{
    const int start = s.pos;
    while (!s.atEnd() && s.at() != s.quote)
        ++s.pos;
    if (s.atEnd() || !s.pending)
        return false;
    s.attributeValue.append(s.text + start, s.pos - start);
    s.pending->appendAttribute(new XmlAttribute(s.attributeName, xmlUnescape(s.attributeValue)));
    s.attributeName.clear();
    s.attributeValue.clear();
    s.quote = 0;
    ++s.pos;
    return next(command, AttributeList);
}

using Step = bool (*)(ParseState&, Command&);

const Step steps[StateCount] = {
    readBetweenMarkup, readAfterOpenBracket, readAfterElementName, readInsideElement,
    readEndOfStartTag, readEndTag,           readComment,          readAttributeList,
    readAttributeName, readBeforeValue,      readAttributeValue,
};

class XmlStateCommand : public Command {
public:
    XmlStateCommand(int id, ParseState& state) : Command(String(), id), m_state(state) {}

    bool execute() override { return steps[id()](m_state, *this); }

private:
    ParseState& m_state;
};

// The position just after the first "?>" outside a comment, or -1. The
// last four characters read decide: "<!--" opens a comment, "-->" closes
// it (its dashes may be those of the opening), "?>" ends the declaration.
int declarationEnd(const wchar_t* text, int length)
{
    wchar_t w[4] = {0, 0, 0, 0};
    bool inComment = false;
    for (int i = 0; i < length; ++i) {
        w[0] = w[1];
        w[1] = w[2];
        w[2] = w[3];
        w[3] = text[i];
        if (inComment) {
            inComment = !(w[1] == L'-' && w[2] == L'-' && w[3] == L'>');
            continue;
        }
        if (w[0] == L'<' && w[1] == L'!' && w[2] == L'-' && w[3] == L'-')
            inComment = true;
        else if (w[2] == L'?' && w[3] == L'>')
            return i + 1;
    }
    return -1;
}

} // namespace

bool XmlParser::parse(const String& text)
{
    m_text = text;
    const bool ok = run();
    m_text.freeBuffer();
    return ok;
}

bool XmlParser::run()
{
    if (!m_document)
        return false;
    const int start = declarationEnd(m_text.constData(), m_text.length());
    if (start < 0)
        return false;
    ParseState state;
    state.text = m_text.constData();
    state.length = m_text.length();
    state.pos = start;
    state.current = &m_document->root();
    state.stack.append(state.current);

    CommandProcessor processor;
    for (int id = 0; id < StateCount; ++id)
        processor.addCommand(new XmlStateCommand(id, state));
    processor.setStartId(BetweenMarkup);
    return processor.runCommands();
}
