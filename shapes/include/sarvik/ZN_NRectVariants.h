#pragma once
// Box kinds that share the rectangle's data and record and differ in drawing,
// hit testing and attachment.

#include <sarvik/ZN_NRect.h>

class ZN_NEllipse : public ZN_NRect {
public:
    int type() const override { return 8; }
    void render() const override;
    ZN_ShapeBase* clone() const override;
};

class ZN_NRoundRect : public ZN_NRect {
public:
    int type() const override { return 9; }
    void render() const override;
    ZN_ShapeBase* clone() const override;
};

class ZN_NRhombus : public ZN_NRect {
public:
    int type() const override { return 10; }
    void render() const override;
    ZN_ShapeBase* clone() const override;
};

class ZN_NParal : public ZN_NRect {
public:
    int type() const override { return 13; }
    void render() const override;
    ZN_ShapeBase* clone() const override;
};
