#include "vecta/Assert.hpp"
#include "vecta/VectorTile.hpp"

namespace vecta {

void PropertyValue::set_string(std::uint32_t hash)
{
    VECTA_ASSERT(type == PropertyValueType::Invalid);
    type = PropertyValueType::StringValue;
    value.stringHash = hash;
}

void PropertyValue::set_float(float v)
{
    VECTA_ASSERT(type == PropertyValueType::Invalid);
    type = PropertyValueType::FloatValue;
    value.floatValue = v;
}

void PropertyValue::set_double(double v)
{
    VECTA_ASSERT(type == PropertyValueType::Invalid);
    type = PropertyValueType::DoubleValue;
    value.doubleValue = v;
}

void PropertyValue::set_int(std::int64_t v)
{
    VECTA_ASSERT(type == PropertyValueType::Invalid);
    type = PropertyValueType::IntValue;
    value.intValue = v;
}

void PropertyValue::set_uint(std::uint64_t v)
{
    VECTA_ASSERT(type == PropertyValueType::Invalid);
    type = PropertyValueType::UintValue;
    value.uintValue = v;
}

void PropertyValue::set_sint(std::int64_t v)
{
    VECTA_ASSERT(type == PropertyValueType::Invalid);
    type = PropertyValueType::SintValue;
    value.intValue = v;
}

void PropertyValue::set_bool(bool v)
{
    VECTA_ASSERT(type == PropertyValueType::Invalid);
    type = PropertyValueType::BoolValue;
    value.boolValue = v;
}

std::uint32_t PropertyValue::string_value() const
{
    VECTA_ASSERT(type == PropertyValueType::StringValue);
    return value.stringHash;
}

} // namespace vecta
