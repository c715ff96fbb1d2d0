#pragma once

// The root of the program's polymorphic objects: its one virtual operation
// is the destructor, so owners can delete any of them through this base.
class PlainObject {
public:
    PlainObject() = default;
    PlainObject(const PlainObject&) = default;
    PlainObject& operator=(const PlainObject&) = default;
    virtual ~PlainObject() = default;
};
