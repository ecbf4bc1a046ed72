#pragma once

namespace ui {

// Type-erased callback, so a widget can call back into any class.
template <class T1 = void, class T2 = void, class T3 = void> class GenericCallback {
public:
    virtual ~GenericCallback() = default;
    virtual void execute(T1 a, T2 b, T3 c) = 0;
    virtual bool isValid() const = 0;
};

template <class T1, class T2> class GenericCallback<T1, T2, void> {
public:
    virtual ~GenericCallback() = default;
    virtual void execute(T1 a, T2 b) = 0;
    virtual bool isValid() const = 0;
};

template <class T1> class GenericCallback<T1, void, void> {
public:
    virtual ~GenericCallback() = default;
    virtual void execute(T1 a) = 0;
    virtual bool isValid() const = 0;
};

template <> class GenericCallback<void, void, void> {
public:
    virtual ~GenericCallback() = default;
    virtual void execute() = 0;
    virtual bool isValid() const = 0;
};

// A bound member function: valid once both the object and the member are set.
template <class dest_type, class T1 = void, class T2 = void, class T3 = void>
class Callback : public GenericCallback<T1, T2, T3> {
public:
    using Member = void (dest_type::*)(T1, T2, T3);
    Callback() = default;
    Callback(dest_type* object, Member member) : pobject(object), pmemfun(member) {}
    void execute(T1 a, T2 b, T3 c) override { (pobject->*pmemfun)(a, b, c); }
    bool isValid() const override { return pobject != nullptr && pmemfun != nullptr; }

private:
    dest_type* pobject = nullptr;
    Member pmemfun = nullptr;
};

template <class dest_type, class T1, class T2>
class Callback<dest_type, T1, T2, void> : public GenericCallback<T1, T2> {
public:
    using Member = void (dest_type::*)(T1, T2);
    Callback() = default;
    Callback(dest_type* object, Member member) : pobject(object), pmemfun(member) {}
    void execute(T1 a, T2 b) override { (pobject->*pmemfun)(a, b); }
    bool isValid() const override { return pobject != nullptr && pmemfun != nullptr; }

private:
    dest_type* pobject = nullptr;
    Member pmemfun = nullptr;
};

template <class dest_type, class T1> class Callback<dest_type, T1, void, void> : public GenericCallback<T1> {
public:
    using Member = void (dest_type::*)(T1);
    Callback() = default;
    Callback(dest_type* object, Member member) : pobject(object), pmemfun(member) {}
    void execute(T1 a) override { (pobject->*pmemfun)(a); }
    bool isValid() const override { return pobject != nullptr && pmemfun != nullptr; }

private:
    dest_type* pobject = nullptr;
    Member pmemfun = nullptr;
};

template <class dest_type> class Callback<dest_type, void, void, void> : public GenericCallback<> {
public:
    using Member = void (dest_type::*)();
    Callback() = default;
    Callback(dest_type* object, Member member) : pobject(object), pmemfun(member) {}
    void execute() override { (pobject->*pmemfun)(); }
    bool isValid() const override { return pobject != nullptr && pmemfun != nullptr; }

private:
    dest_type* pobject = nullptr;
    Member pmemfun = nullptr;
};

} // namespace ui
