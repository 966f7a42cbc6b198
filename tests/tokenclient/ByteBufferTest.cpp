#include <gtest/gtest.h>

#include <string>

#include "tokenclient/ByteBuffer.h"

namespace {

TEST(ByteBufferTest, GrowsByDoublingUpToOneMebibyte)
{
    ByteBuffer buffer;
    EXPECT_EQ(1024u, buffer.Capacity());
    std::string chunk(1000, 'a');
    ASSERT_TRUE(buffer.Append(chunk.data(), chunk.size()));
    EXPECT_EQ(1024u, buffer.Capacity());
    ASSERT_TRUE(buffer.Append(chunk.data(), chunk.size()));
    EXPECT_EQ(2048u, buffer.Capacity());
    ASSERT_NE(nullptr, buffer.Reserve(5000));
    EXPECT_EQ(8192u, buffer.Capacity());
    EXPECT_EQ(7000u, buffer.Length());
    EXPECT_EQ(std::string(2000, 'a'), std::string(buffer.Data(), 2000));
}

TEST(ByteBufferTest, AnAppendBeyondTheLimitAppendsNothing)
{
    ByteBuffer buffer;
    ASSERT_NE(nullptr, buffer.Reserve(ByteBuffer::MaxCapacity - 1));
    EXPECT_EQ(ByteBuffer::MaxCapacity, buffer.Capacity());
    EXPECT_FALSE(buffer.Append("ab", 2));
    EXPECT_EQ(ByteBuffer::MaxCapacity - 1, buffer.Length());
    EXPECT_TRUE(buffer.Append("a", 1));
    EXPECT_EQ(nullptr, buffer.Reserve(1));
    EXPECT_EQ(nullptr, ByteBuffer().Reserve(ByteBuffer::MaxCapacity + 1));
    // A request for more than the address space can hold must not wrap.
    EXPECT_EQ(nullptr, ByteBuffer().Reserve(static_cast<size_t>(-1)));
}

TEST(ByteBufferTest, ResetShrinksBackToTheFirstKilobyte)
{
    ByteBuffer buffer;
    ASSERT_NE(nullptr, buffer.Reserve(70000));
    buffer.Reset();
    EXPECT_EQ(0u, buffer.Length());
    EXPECT_EQ(1024u, buffer.Capacity());
    ASSERT_TRUE(buffer.AppendText("xyz"));
    EXPECT_EQ("xyz", std::string(buffer.Data(), buffer.Length()));
}

} // namespace
