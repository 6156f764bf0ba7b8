/*
 * Kinemora motion datagrams: a header-only decoder for receivers.
 *
 * Plain C99 (also valid C++): no allocation, no I/O, no undefined behaviour
 * on any input. Every function checks the length and the lead-in before it
 * reads, and reads bytes one at a time, so unaligned fields and big-endian
 * hosts are fine.
 *
 * K01 (44 bytes, from the Aerofly FS 2 and FS 4 plug-ins):
 *   0 "K01,"  4 u32 time_us (simulation microseconds mod 2^25)
 *   8 f32 velocity x, y, z (body frame)  20 f32 bank  24 f32 pitch
 *   28 f32 rate of turn  32 f32 angular velocity x, y, z
 * K2 (55 bytes, from the MSFS bridge):
 *   0 "K2,"  3 u32 time_us (running clock, restarts after ten seconds)
 *   7 f32 velocity body Z, X, Y  19 f32 acceleration body Z, X, Y
 *   31 f32 bank  35 f32 pitch  39 f32 heading (radians)
 *   43 f32 rotation velocity body Z, X, Y
 * All fields little-endian, packed without gaps.
 */
#ifndef KINEMORA_MOTION_DATAGRAM_H
#define KINEMORA_MOTION_DATAGRAM_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#ifdef __cplusplus
extern "C" {
#endif

#define KINEMORA_PORT 50010
#define KINEMORA_K01_SIZE 44
#define KINEMORA_K2_SIZE 55

typedef enum kinemora_kind {
    KINEMORA_UNRECOGNISED = 0,
    KINEMORA_K01 = 1,
    KINEMORA_K2 = 2
} kinemora_kind;

typedef struct kinemora_k01 {
    uint32_t time_us;
    float velocity_x, velocity_y, velocity_z;
    float bank;
    float pitch;
    float rate_of_turn;
    float angular_velocity_x, angular_velocity_y, angular_velocity_z;
} kinemora_k01;

typedef struct kinemora_k2 {
    uint32_t time_us;
    float velocity_body_z, velocity_body_x, velocity_body_y;
    float acceleration_body_z, acceleration_body_x, acceleration_body_y;
    float bank, pitch, heading;
    float rotation_velocity_body_z, rotation_velocity_body_x, rotation_velocity_body_y;
} kinemora_k2;

static inline uint32_t kinemora_read_u32(const unsigned char* p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

static inline float kinemora_read_f32(const unsigned char* p)
{
    uint32_t bits = kinemora_read_u32(p);
    float value;
    memcpy(&value, &bits, sizeof value);
    return value;
}

/* Which kind a datagram is: its length and its lead-in must both match. */
static inline kinemora_kind kinemora_classify(const void* data, size_t length)
{
    const unsigned char* p = (const unsigned char*)data;
    if (p == NULL)
        return KINEMORA_UNRECOGNISED;
    if (length == KINEMORA_K01_SIZE && memcmp(p, "K01,", 4) == 0)
        return KINEMORA_K01;
    if (length == KINEMORA_K2_SIZE && memcmp(p, "K2,", 3) == 0)
        return KINEMORA_K2;
    return KINEMORA_UNRECOGNISED;
}

/* Fills out and returns 1 for a K01 datagram; returns 0 and leaves out alone otherwise. */
static inline int kinemora_decode_k01(const void* data, size_t length, kinemora_k01* out)
{
    const unsigned char* p = (const unsigned char*)data;
    if (out == NULL || kinemora_classify(data, length) != KINEMORA_K01)
        return 0;
    out->time_us = kinemora_read_u32(p + 4);
    out->velocity_x = kinemora_read_f32(p + 8);
    out->velocity_y = kinemora_read_f32(p + 12);
    out->velocity_z = kinemora_read_f32(p + 16);
    out->bank = kinemora_read_f32(p + 20);
    out->pitch = kinemora_read_f32(p + 24);
    out->rate_of_turn = kinemora_read_f32(p + 28);
    out->angular_velocity_x = kinemora_read_f32(p + 32);
    out->angular_velocity_y = kinemora_read_f32(p + 36);
    out->angular_velocity_z = kinemora_read_f32(p + 40);
    return 1;
}

/* Fills out and returns 1 for a K2 datagram; returns 0 and leaves out alone otherwise. */
static inline int kinemora_decode_k2(const void* data, size_t length, kinemora_k2* out)
{
    const unsigned char* p = (const unsigned char*)data;
    if (out == NULL || kinemora_classify(data, length) != KINEMORA_K2)
        return 0;
    out->time_us = kinemora_read_u32(p + 3);
    out->velocity_body_z = kinemora_read_f32(p + 7);
    out->velocity_body_x = kinemora_read_f32(p + 11);
    out->velocity_body_y = kinemora_read_f32(p + 15);
    out->acceleration_body_z = kinemora_read_f32(p + 19);
    out->acceleration_body_x = kinemora_read_f32(p + 23);
    out->acceleration_body_y = kinemora_read_f32(p + 27);
    out->bank = kinemora_read_f32(p + 31);
    out->pitch = kinemora_read_f32(p + 35);
    out->heading = kinemora_read_f32(p + 39);
    out->rotation_velocity_body_z = kinemora_read_f32(p + 43);
    out->rotation_velocity_body_x = kinemora_read_f32(p + 47);
    out->rotation_velocity_body_y = kinemora_read_f32(p + 51);
    return 1;
}

#ifdef __cplusplus
}
#endif

#endif
