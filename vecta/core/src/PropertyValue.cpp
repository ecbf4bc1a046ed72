#include "platform/Assert.hpp"
#include "vecta/VectorTile.hpp"

namespace vecta {

// A value is set once: its type goes from Invalid to the decoded one.
void PropertyValue::claim(PropertyValueType decoded)
{
    VECTA_ASSERT(type == PropertyValueType::Invalid);
    type = decoded;
}

void PropertyValue::set_string(std::uint32_t hash)
{
    claim(PropertyValueType::StringValue);
    value.stringHash = hash;
}

void PropertyValue::set_float(float v)
{
    claim(PropertyValueType::FloatValue);
    value.floatValue = v;
}

void PropertyValue::set_double(double v)
{
    claim(PropertyValueType::DoubleValue);
    value.doubleValue = v;
}

void PropertyValue::set_int(std::int64_t v)
{
    claim(PropertyValueType::IntValue);
    value.intValue = v;
}

void PropertyValue::set_uint(std::uint64_t v)
{
    claim(PropertyValueType::UintValue);
    value.uintValue = v;
}

void PropertyValue::set_sint(std::int64_t v)
{
    claim(PropertyValueType::SintValue);
    value.intValue = v;
}

void PropertyValue::set_bool(bool v)
{
    claim(PropertyValueType::BoolValue);
    value.boolValue = v;
}

std::uint32_t PropertyValue::string_value() const
{
    VECTA_ASSERT(type == PropertyValueType::StringValue);
    return value.stringHash;
}

} // namespace vecta
