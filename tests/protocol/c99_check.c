/*
 * The decoder header as a C99 receiver uses it, on every case of cases.txt:
 * built as C99 with every warning an error, run natively (also under
 * AddressSanitizer and UndefinedBehaviorSanitizer), and cross-compiled and
 * run on the CPUs rigs use (big-endian PowerPC and 32-bit ARM under qemu, an
 * 8-bit AVR with 16-bit int under simavr).
 *
 * Each datagram is decoded from a heap block that ends where the datagram
 * ends, at offsets 0 to 3 from the block's start, so that a sanitizer sees
 * any read past the end and the fields are read unaligned.
 *
 * Prints the host's byte order and int width, one line per failed check (with
 * its line in cases.txt), and ends with "decoder C99 check passed" or
 * "decoder C99 check failed"; exits 0 only when every check passed. It needs
 * nothing beyond printf, malloc, memcpy and memset, so it fits a
 * microcontroller with 8 KB of RAM.
 */
#include <kinemora/motion_datagram.h>

#include "decoder_cases.h"

#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define MOST_FIELDS 12

static unsigned long checks = 0;
static unsigned long failures = 0;

/* Records one check; line is the case's line in cases.txt, 0 for a check of no case. */
static void check(int ok, const char* what, unsigned line)
{
    ++checks;
    if (!ok) {
        if (line)
            printf("FAIL: %s (cases.txt line %u)\n", what, line);
        else
            printf("FAIL: %s\n", what);
        ++failures;
    }
}

/* Test-side reading of the expected words and of float bits, independent of the decoder. */
static uint32_t expected_word(size_t at)
{
    return (uint32_t)CASE_BYTE(at) | ((uint32_t)CASE_BYTE(at + 1) << 8) | ((uint32_t)CASE_BYTE(at + 2) << 16) |
           ((uint32_t)CASE_BYTE(at + 3) << 24);
}

static uint32_t bits(float value)
{
    uint32_t b;
    memcpy(&b, &value, sizeof b);
    return b;
}

/* Decoded records filled with a pattern that no decoding produces. */
static void k01_sentinel(kinemora_k01* out) { memset(out, 0xab, sizeof *out); }
static void k2_sentinel(kinemora_k2* out) { memset(out, 0xab, sizeof *out); }

static void k01_fields(const kinemora_k01* d, float f[9])
{
    f[0] = d->velocity_x;
    f[1] = d->velocity_y;
    f[2] = d->velocity_z;
    f[3] = d->bank;
    f[4] = d->pitch;
    f[5] = d->rate_of_turn;
    f[6] = d->angular_velocity_x;
    f[7] = d->angular_velocity_y;
    f[8] = d->angular_velocity_z;
}

static void k2_fields(const kinemora_k2* d, float f[12])
{
    f[0] = d->velocity_body_z;
    f[1] = d->velocity_body_x;
    f[2] = d->velocity_body_y;
    f[3] = d->acceleration_body_z;
    f[4] = d->acceleration_body_x;
    f[5] = d->acceleration_body_y;
    f[6] = d->bank;
    f[7] = d->pitch;
    f[8] = d->heading;
    f[9] = d->rotation_velocity_body_z;
    f[10] = d->rotation_velocity_body_x;
    f[11] = d->rotation_velocity_body_y;
}

static const char* const k01_names[9] = {
    "velocity_x", "velocity_y", "velocity_z", "bank", "pitch", "rate_of_turn",
    "angular_velocity_x", "angular_velocity_y", "angular_velocity_z"};
static const char* const k2_names[12] = {
    "velocity_body_z", "velocity_body_x", "velocity_body_y",
    "acceleration_body_z", "acceleration_body_x", "acceleration_body_y", "bank", "pitch", "heading",
    "rotation_velocity_body_z", "rotation_velocity_body_x", "rotation_velocity_body_y"};

/* The time field and each field's bits against the words after the case's datagram. */
static void check_decoded(const struct decoder_case* c, uint32_t time_us, const float* f, const char* const* names,
                          size_t count)
{
    size_t at = c->first + c->length;
    size_t i;
    check(time_us == expected_word(at), "time_us", c->line);
    for (i = 0; i < count; ++i)
        check(bits(f[i]) == expected_word(at + 4 * (i + 1)), names[i], c->line);
}

/* One case with its datagram at data: classified, and decoded by both decoders. */
static void check_case(const struct decoder_case* c, const unsigned char* data)
{
    kinemora_k01 k01, k01_untouched;
    kinemora_k2 k2, k2_untouched;
    float f[MOST_FIELDS];
    int decoded;

    check(kinemora_classify(data, c->length) == c->kind, "kinemora_classify", c->line);

    k01_sentinel(&k01);
    k01_sentinel(&k01_untouched);
    decoded = kinemora_decode_k01(data, c->length, &k01);
    if (c->kind == KINEMORA_K01) {
        check(decoded == 1, "kinemora_decode_k01 takes it", c->line);
        k01_fields(&k01, f);
        check_decoded(c, k01.time_us, f, k01_names, 9);
    } else {
        check(decoded == 0 && memcmp(&k01, &k01_untouched, sizeof k01) == 0,
              "kinemora_decode_k01 refuses it and leaves its output alone", c->line);
    }

    k2_sentinel(&k2);
    k2_sentinel(&k2_untouched);
    decoded = kinemora_decode_k2(data, c->length, &k2);
    if (c->kind == KINEMORA_K2) {
        check(decoded == 1, "kinemora_decode_k2 takes it", c->line);
        k2_fields(&k2, f);
        check_decoded(c, k2.time_us, f, k2_names, 12);
    } else {
        check(decoded == 0 && memcmp(&k2, &k2_untouched, sizeof k2) == 0,
              "kinemora_decode_k2 refuses it and leaves its output alone", c->line);
    }
}

static void case_checks(void)
{
    static unsigned char no_bytes[1];
    size_t n, shift, i;

    for (n = 0; n < DECODER_CASE_COUNT; ++n) {
        const struct decoder_case* c = &decoder_cases[n];
        for (shift = 0; shift <= 3; ++shift) {
            /* malloc(0) may give NULL, which the decoder would refuse for that reason alone. */
            unsigned char* block = c->length + shift ? (unsigned char*)malloc(c->length + shift) : no_bytes;
            if (block == NULL) {
                check(0, "out of memory for the case", c->line);
                return;
            }
            for (i = 0; i < c->length; ++i)
                block[shift + i] = CASE_BYTE(c->first + i);
            check_case(c, block + shift);
            if (block != no_bytes)
                free(block);
        }
    }
}

/* What no data file can hold: NULL for the data or the output. */
static void null_checks(void)
{
    static const unsigned char k01_lead_in[KINEMORA_K01_SIZE] = {'K', '0', '1', ','};
    static const unsigned char k2_lead_in[KINEMORA_K2_SIZE] = {'K', '2', ','};
    kinemora_k01 k01, k01_untouched;
    kinemora_k2 k2, k2_untouched;

    check(kinemora_classify(NULL, 0) == KINEMORA_UNRECOGNISED, "NULL, length 0", 0);
    check(kinemora_classify(NULL, KINEMORA_K01_SIZE) == KINEMORA_UNRECOGNISED, "NULL, length 44", 0);
    check(kinemora_classify(NULL, KINEMORA_K2_SIZE) == KINEMORA_UNRECOGNISED, "NULL, length 55", 0);

    k01_sentinel(&k01);
    k01_sentinel(&k01_untouched);
    check(kinemora_decode_k01(NULL, KINEMORA_K01_SIZE, &k01) == 0 && memcmp(&k01, &k01_untouched, sizeof k01) == 0,
          "K01 from NULL is refused", 0);
    check(kinemora_decode_k01(k01_lead_in, sizeof k01_lead_in, NULL) == 0, "K01 into NULL is refused", 0);
    k2_sentinel(&k2);
    k2_sentinel(&k2_untouched);
    check(kinemora_decode_k2(NULL, KINEMORA_K2_SIZE, &k2) == 0 && memcmp(&k2, &k2_untouched, sizeof k2) == 0,
          "K2 from NULL is refused", 0);
    check(kinemora_decode_k2(k2_lead_in, sizeof k2_lead_in, NULL) == 0, "K2 into NULL is refused", 0);
}

/* What this run proves depends on the host: the cross-CPU tests check this line. */
static void print_host(void)
{
    const uint32_t one = 1;
    unsigned char first;
    memcpy(&first, &one, 1);
    printf("host: %s-endian, %u-bit int\n", first == 1 ? "little" : "big", (unsigned)(sizeof(int) * CHAR_BIT));
}

int main(void)
{
    static const unsigned char le[4] = {0x01, 0x02, 0x83, 0xf4};
    static const unsigned char f51_2[4] = {0xcd, 0xcc, 0x4c, 0x42};

    print_host();

    check(KINEMORA_PORT == 50010 && KINEMORA_K01_SIZE == 44 && KINEMORA_K2_SIZE == 55, "published constants", 0);
    /* The byte readers on their own: each byte to its place, high bits included. */
    check(kinemora_read_u32(le) == 0xf4830201u, "kinemora_read_u32 reads little-endian", 0);
    check(kinemora_read_f32(f51_2) == 51.2f, "kinemora_read_f32 reads a float", 0);

    case_checks();
    null_checks();

    printf("%lu checks, %lu failed\n", checks, failures);
    printf("%s\n", failures ? "decoder C99 check failed" : "decoder C99 check passed");
    return failures ? 1 : 0;
}
