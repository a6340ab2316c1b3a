#pragma once
// Whether drawing keeps the texts' pictures it makes. A text drawn at a zoom
// other than 100 % keeps its picture for that zoom, so that the window's next
// frame draws it without rasterising it again. A passing picture of a page
// at a zoom no window shows (a thumbnail) draws inside a ZLeaveTextPictures:
// the pictures it makes are not kept, and those kept for the windows stay.

class ZLeaveTextPictures {
public:
    ZLeaveTextPictures();
    ~ZLeaveTextPictures();
    ZLeaveTextPictures(const ZLeaveTextPictures&) = delete;
    ZLeaveTextPictures& operator=(const ZLeaveTextPictures&) = delete;

private:
    bool before_;
};

// False inside a ZLeaveTextPictures.
bool ZKeepsTextPictures();
