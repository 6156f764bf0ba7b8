/*
 * The decoder header as a C99 receiver uses it, with every case the C++
 * decoder tests pin: built as C99 with every warning an error, run natively,
 * and cross-compiled and run on the CPUs rigs use (big-endian PowerPC and
 * 32-bit ARM under qemu, an 8-bit AVR with 16-bit int under simavr).
 *
 * Prints the host's byte order and int width, one line per failed check,
 * and ends with "decoder C99 check passed" or "decoder C99 check failed";
 * exits 0 only when every check passed. It needs nothing beyond printf,
 * memcpy and memset, so it fits a microcontroller with 8 KB of RAM.
 */
#include <kinemora/motion_datagram.h>

#include <limits.h>
#include <stdio.h>
#include <string.h>

/* The two worked examples of docs/protocol.md, byte for byte. */
static const unsigned char k01_example[KINEMORA_K01_SIZE] = {
    0x4b, 0x30, 0x31, 0x2c, 0x00, 0x5a, 0x62, 0x00, 0xcd, 0xcc, 0x4c, 0x42,
    0x00, 0x00, 0x40, 0xbf, 0x00, 0x00, 0xc0, 0x3f, 0x00, 0x00, 0x00, 0x3f,
    0x00, 0x00, 0x00, 0xbe, 0x00, 0x00, 0x80, 0x3d, 0x00, 0x00, 0x80, 0x3e,
    0x00, 0x00, 0x00, 0xbd, 0x00, 0x00, 0x80, 0x3c
};

static const unsigned char k2_example[KINEMORA_K2_SIZE] = {
    0x4b, 0x32, 0x2c, 0xa0, 0x25, 0x26, 0x00, 0x00, 0x00, 0x70, 0x42,
    0x00, 0x00, 0x00, 0xbf, 0x00, 0x00, 0xa0, 0x3f, 0x00, 0x00, 0x40, 0x3f,
    0x00, 0x00, 0x80, 0xbe, 0x00, 0x00, 0x00, 0x3e, 0xc2, 0xb8, 0x32, 0x3e,
    0xc2, 0xb8, 0xb2, 0xbd, 0xe4, 0xcb, 0x96, 0x40, 0xcd, 0xcc, 0x4c, 0x3d,
    0x0a, 0xd7, 0x23, 0xbc, 0x0a, 0xd7, 0xa3, 0x3c
};

/* IEEE single-precision patterns that a receiver must get back unchanged. */
static const uint32_t special_float_bits[] = {
    0x7fc00000u, /* quiet NaN */
    0xffc00000u, /* negative quiet NaN */
    0x7fc12345u, /* quiet NaN with a payload */
    0x7f800001u, /* signalling NaN */
    0x7f800000u, /* +infinity */
    0xff800000u, /* -infinity */
    0x80000000u, /* -0.0 */
    0x00000001u, /* smallest subnormal */
    0x7f7fffffu, /* largest finite */
    0xff7fffffu  /* most negative finite */
};
#define SPECIAL_FLOATS (sizeof special_float_bits / sizeof special_float_bits[0])

/* Room for the longest datagram the checks try (an Ethernet frame's payload). */
static unsigned char bytes[1500];

static unsigned long checks = 0;
static unsigned long failures = 0;

/* Records one check; number tells apart the cases of a loop (0 when there is none). */
static void check(int ok, const char* what, unsigned long number)
{
    ++checks;
    if (!ok) {
        printf("FAIL: %s (%lu)\n", what, number);
        ++failures;
    }
}

/* Test-side byte writing and float bits, independent of the decoder. */
static void put_u32(unsigned char* p, uint32_t value)
{
    p[0] = (unsigned char)(value & 0xffu);
    p[1] = (unsigned char)((value >> 8) & 0xffu);
    p[2] = (unsigned char)((value >> 16) & 0xffu);
    p[3] = (unsigned char)((value >> 24) & 0xffu);
}

static uint32_t bits(float value)
{
    uint32_t b;
    memcpy(&b, &value, sizeof b);
    return b;
}

/* A buffer of the given length: the lead-in, then zeros. */
static const unsigned char* lead_in_then_zeros(const char* lead_in, size_t length)
{
    size_t n = strlen(lead_in);
    memset(bytes, 0, sizeof bytes);
    memcpy(bytes, lead_in, n < length ? n : length);
    return bytes;
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

static void classify_checks(void)
{
    static const size_t other_lengths[] = {0, 1, 3, 4, 43, 45, 54, 56, 88, 1500};
    static const char* const k01_near_misses[] = {"K01;", "k01,", "K02,", "K10,", "K01 ", " K01", "KO1,"};
    static const char* const k2_near_misses[] = {"K2;", "k2,", "K3,", "K2.", "K20", " K2,"};
    unsigned char copy[KINEMORA_K2_SIZE];
    size_t i;

    check(KINEMORA_PORT == 50010 && KINEMORA_K01_SIZE == 44 && KINEMORA_K2_SIZE == 55, "published constants", 0);

    check(kinemora_classify(k01_example, sizeof k01_example) == KINEMORA_K01, "K01 example is a K01", 0);
    check(kinemora_classify(k2_example, sizeof k2_example) == KINEMORA_K2, "K2 example is a K2", 0);
    /* The payload after the lead-in plays no part. */
    check(kinemora_classify(lead_in_then_zeros("K01,", 44), 44) == KINEMORA_K01, "K01, and zeros", 0);
    check(kinemora_classify(lead_in_then_zeros("K2,", 55), 55) == KINEMORA_K2, "K2, and zeros", 0);
    memset(bytes + 3, 0xff, 52);
    check(kinemora_classify(bytes, 55) == KINEMORA_K2, "K2, and 0xff bytes", 0);

    for (i = 0; i < sizeof other_lengths / sizeof other_lengths[0]; ++i) {
        size_t length = other_lengths[i];
        check(kinemora_classify(lead_in_then_zeros("K01,", length), length) == KINEMORA_UNRECOGNISED,
              "K01 lead-in, other length", (unsigned long)length);
        check(kinemora_classify(lead_in_then_zeros("K2,", length), length) == KINEMORA_UNRECOGNISED,
              "K2 lead-in, other length", (unsigned long)length);
    }
    check(kinemora_classify(lead_in_then_zeros("K01,", 55), 55) == KINEMORA_UNRECOGNISED, "K01 lead-in, K2 length", 0);
    check(kinemora_classify(lead_in_then_zeros("K2,", 44), 44) == KINEMORA_UNRECOGNISED, "K2 lead-in, K01 length", 0);
    check(kinemora_classify(k2_example, sizeof k01_example) == KINEMORA_UNRECOGNISED, "K2 bytes, K01 length", 0);

    for (i = 0; i < sizeof k01_near_misses / sizeof k01_near_misses[0]; ++i)
        check(kinemora_classify(lead_in_then_zeros(k01_near_misses[i], 44), 44) == KINEMORA_UNRECOGNISED,
              "near-miss K01 lead-in", (unsigned long)i);
    for (i = 0; i < sizeof k2_near_misses / sizeof k2_near_misses[0]; ++i)
        check(kinemora_classify(lead_in_then_zeros(k2_near_misses[i], 55), 55) == KINEMORA_UNRECOGNISED,
              "near-miss K2 lead-in", (unsigned long)i);
    /* A single changed byte anywhere in the lead-in is enough. */
    for (i = 0; i < 4; ++i) {
        memcpy(copy, k01_example, KINEMORA_K01_SIZE);
        copy[i] ^= 0x01;
        check(kinemora_classify(copy, KINEMORA_K01_SIZE) == KINEMORA_UNRECOGNISED, "K01 lead-in byte changed",
              (unsigned long)i);
    }
    for (i = 0; i < 3; ++i) {
        memcpy(copy, k2_example, KINEMORA_K2_SIZE);
        copy[i] ^= 0x80;
        check(kinemora_classify(copy, KINEMORA_K2_SIZE) == KINEMORA_UNRECOGNISED, "K2 lead-in byte changed",
              (unsigned long)i);
    }

    check(kinemora_classify(NULL, 0) == KINEMORA_UNRECOGNISED, "NULL, length 0", 0);
    check(kinemora_classify(NULL, 44) == KINEMORA_UNRECOGNISED, "NULL, length 44", 0);
    check(kinemora_classify(NULL, 55) == KINEMORA_UNRECOGNISED, "NULL, length 55", 0);
}

static void k01_checks(void)
{
    static const uint32_t times[] = {0u, 1u, 0x04030201u, 0x01ffffffu, 0x02000000u, 0xffffffffu};
    unsigned char copy[KINEMORA_K01_SIZE + 3];
    kinemora_k01 d, untouched, aligned;
    float f[9];
    size_t i, field, shift;

    k01_sentinel(&d);
    check(kinemora_decode_k01(k01_example, sizeof k01_example, &d) == 1, "K01 example decodes", 0);
    check(d.time_us == 6445568u, "K01 example time_us", 0);
    check(d.velocity_x == 51.2f && bits(d.velocity_x) == 0x424ccccdu, "K01 example velocity_x", 0);
    check(d.velocity_y == -0.75f && d.velocity_z == 1.5f, "K01 example velocity_y, velocity_z", 0);
    check(d.bank == 0.5f && d.pitch == -0.125f, "K01 example bank before pitch", 0);
    check(d.rate_of_turn == 0.0625f, "K01 example rate_of_turn", 0);
    check(d.angular_velocity_x == 0.25f && d.angular_velocity_y == -0.03125f && d.angular_velocity_z == 0.015625f,
          "K01 example angular velocity", 0);

    /* Little-endian and unmasked: the decoder passes on all 32 bits. */
    for (i = 0; i < sizeof times / sizeof times[0]; ++i) {
        memcpy(copy, k01_example, KINEMORA_K01_SIZE);
        put_u32(copy + 4, times[i]);
        k01_sentinel(&d);
        check(kinemora_decode_k01(copy, KINEMORA_K01_SIZE, &d) == 1 && d.time_us == times[i], "K01 time_us",
              (unsigned long)times[i]);
    }

    /* Each field from its own offset: field i holds the float i + 1. */
    memcpy(copy, k01_example, KINEMORA_K01_SIZE);
    for (field = 0; field < 9; ++field)
        put_u32(copy + 8 + 4 * field, bits((float)(field + 1)));
    k01_sentinel(&d);
    check(kinemora_decode_k01(copy, KINEMORA_K01_SIZE, &d) == 1, "K01 numbered fields decode", 0);
    k01_fields(&d, f);
    for (field = 0; field < 9; ++field)
        check(f[field] == (float)(field + 1), "K01 field from its offset", (unsigned long)(8 + 4 * field));

    for (i = 0; i < SPECIAL_FLOATS; ++i) {
        for (field = 0; field < 9; ++field) {
            memcpy(copy, k01_example, KINEMORA_K01_SIZE);
            put_u32(copy + 8 + 4 * field, special_float_bits[i]);
            k01_sentinel(&d);
            check(kinemora_decode_k01(copy, KINEMORA_K01_SIZE, &d) == 1, "K01 with a special float decodes", i);
            k01_fields(&d, f);
            /* Case numbers: the pattern's index times 100, plus the field. */
            check(bits(f[field]) == special_float_bits[i], "K01 special float bit-exact",
                  (unsigned long)(i * 100 + field));
            /* The other fields keep the example's values. */
            check(d.time_us == 6445568u && (field == 3 || d.bank == 0.5f) &&
                      (field == 8 || d.angular_velocity_z == 0.015625f),
                  "K01 special float leaves the others", (unsigned long)(i * 100 + field));
        }
    }

    k01_sentinel(&aligned);
    kinemora_decode_k01(k01_example, sizeof k01_example, &aligned);
    for (shift = 1; shift <= 3; ++shift) {
        memset(copy, 0xee, sizeof copy);
        memcpy(copy + shift, k01_example, KINEMORA_K01_SIZE);
        k01_sentinel(&d);
        check(kinemora_decode_k01(copy + shift, KINEMORA_K01_SIZE, &d) == 1 && memcmp(&d, &aligned, sizeof d) == 0,
              "K01 from an unaligned start", (unsigned long)shift);
    }

    /* Anything else is refused and the output left alone. */
    k01_sentinel(&untouched);
    memcpy(bytes, k01_example, KINEMORA_K01_SIZE);
    bytes[KINEMORA_K01_SIZE] = 0;
    k01_sentinel(&d);
    check(kinemora_decode_k01(bytes, KINEMORA_K01_SIZE - 1, &d) == 0 && memcmp(&d, &untouched, sizeof d) == 0,
          "K01 one byte short is refused", 0);
    check(kinemora_decode_k01(bytes, KINEMORA_K01_SIZE + 1, &d) == 0 && memcmp(&d, &untouched, sizeof d) == 0,
          "K01 one byte long is refused", 0);
    bytes[2] = '2';
    check(kinemora_decode_k01(bytes, KINEMORA_K01_SIZE, &d) == 0 && memcmp(&d, &untouched, sizeof d) == 0,
          "K01 with a wrong lead-in is refused", 0);
    check(kinemora_decode_k01(k2_example, sizeof k2_example, &d) == 0 && memcmp(&d, &untouched, sizeof d) == 0,
          "K2 is not a K01", 0);
    check(kinemora_decode_k01(NULL, KINEMORA_K01_SIZE, &d) == 0 && memcmp(&d, &untouched, sizeof d) == 0,
          "K01 from NULL is refused", 0);
    check(kinemora_decode_k01(k01_example, sizeof k01_example, NULL) == 0, "K01 into NULL is refused", 0);
}

static void k2_checks(void)
{
    static const uint32_t times[] = {0u, 1u, 10000000u, 0x04030201u, 0xffffffffu};
    unsigned char copy[KINEMORA_K2_SIZE + 3];
    kinemora_k2 d, untouched, aligned;
    float f[12];
    size_t i, field, shift;

    k2_sentinel(&d);
    check(kinemora_decode_k2(k2_example, sizeof k2_example, &d) == 1, "K2 example decodes", 0);
    check(d.time_us == 2500000u, "K2 example time_us", 0);
    check(d.velocity_body_z == 60.0f && d.velocity_body_x == -0.5f && d.velocity_body_y == 1.25f,
          "K2 example velocity Z, X, Y", 0);
    check(d.acceleration_body_z == 0.75f && d.acceleration_body_x == -0.25f && d.acceleration_body_y == 0.125f,
          "K2 example acceleration Z, X, Y", 0);
    check(bits(d.bank) == 0x3e32b8c2u && d.bank == 0.174532925f, "K2 example bank (10 degrees)", 0);
    check(bits(d.pitch) == 0xbdb2b8c2u && d.pitch == -0.0872664626f, "K2 example pitch (-5 degrees)", 0);
    check(bits(d.heading) == 0x4096cbe4u && d.heading == 4.71238898f, "K2 example heading (270 degrees)", 0);
    check(d.rotation_velocity_body_z == 0.05f && d.rotation_velocity_body_x == -0.01f &&
              d.rotation_velocity_body_y == 0.02f,
          "K2 example rotation velocity Z, X, Y", 0);

    /* The time field at odd offset 3 must not reach into the first float. */
    for (i = 0; i < sizeof times / sizeof times[0]; ++i) {
        memcpy(copy, k2_example, KINEMORA_K2_SIZE);
        put_u32(copy + 3, times[i]);
        k2_sentinel(&d);
        check(kinemora_decode_k2(copy, KINEMORA_K2_SIZE, &d) == 1 && d.time_us == times[i] &&
                  d.velocity_body_z == 60.0f,
              "K2 time_us", (unsigned long)times[i]);
    }

    memcpy(copy, k2_example, KINEMORA_K2_SIZE);
    for (field = 0; field < 12; ++field)
        put_u32(copy + 7 + 4 * field, bits((float)(field + 1)));
    k2_sentinel(&d);
    check(kinemora_decode_k2(copy, KINEMORA_K2_SIZE, &d) == 1, "K2 numbered fields decode", 0);
    k2_fields(&d, f);
    for (field = 0; field < 12; ++field)
        check(f[field] == (float)(field + 1), "K2 field from its offset", (unsigned long)(7 + 4 * field));

    for (i = 0; i < SPECIAL_FLOATS; ++i) {
        for (field = 0; field < 12; ++field) {
            memcpy(copy, k2_example, KINEMORA_K2_SIZE);
            put_u32(copy + 7 + 4 * field, special_float_bits[i]);
            k2_sentinel(&d);
            check(kinemora_decode_k2(copy, KINEMORA_K2_SIZE, &d) == 1 && d.time_us == 2500000u,
                  "K2 with a special float decodes", i);
            k2_fields(&d, f);
            check(bits(f[field]) == special_float_bits[i], "K2 special float bit-exact",
                  (unsigned long)(i * 100 + field));
        }
    }

    k2_sentinel(&aligned);
    kinemora_decode_k2(k2_example, sizeof k2_example, &aligned);
    for (shift = 1; shift <= 3; ++shift) {
        memset(copy, 0xee, sizeof copy);
        memcpy(copy + shift, k2_example, KINEMORA_K2_SIZE);
        k2_sentinel(&d);
        check(kinemora_decode_k2(copy + shift, KINEMORA_K2_SIZE, &d) == 1 && memcmp(&d, &aligned, sizeof d) == 0,
              "K2 from an unaligned start", (unsigned long)shift);
    }

    k2_sentinel(&untouched);
    memcpy(bytes, k2_example, KINEMORA_K2_SIZE);
    bytes[KINEMORA_K2_SIZE] = 0;
    k2_sentinel(&d);
    check(kinemora_decode_k2(bytes, KINEMORA_K2_SIZE - 1, &d) == 0 && memcmp(&d, &untouched, sizeof d) == 0,
          "K2 one byte short is refused", 0);
    check(kinemora_decode_k2(bytes, KINEMORA_K2_SIZE + 1, &d) == 0 && memcmp(&d, &untouched, sizeof d) == 0,
          "K2 one byte long is refused", 0);
    bytes[2] = ';';
    check(kinemora_decode_k2(bytes, KINEMORA_K2_SIZE, &d) == 0 && memcmp(&d, &untouched, sizeof d) == 0,
          "K2 with a wrong lead-in is refused", 0);
    check(kinemora_decode_k2(k01_example, sizeof k01_example, &d) == 0 && memcmp(&d, &untouched, sizeof d) == 0,
          "K01 is not a K2", 0);
    check(kinemora_decode_k2(NULL, KINEMORA_K2_SIZE, &d) == 0 && memcmp(&d, &untouched, sizeof d) == 0,
          "K2 from NULL is refused", 0);
    check(kinemora_decode_k2(k2_example, sizeof k2_example, NULL) == 0, "K2 into NULL is refused", 0);
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

    print_host();

    /* The byte readers on their own: each byte to its place, high bits included. */
    check(kinemora_read_u32(le) == 0xf4830201u, "kinemora_read_u32 reads little-endian", 0);
    check(kinemora_read_f32(k01_example + 8) == 51.2f, "kinemora_read_f32 reads a float", 0);

    classify_checks();
    k01_checks();
    k2_checks();

    printf("%lu checks, %lu failed\n", checks, failures);
    printf("%s\n", failures ? "decoder C99 check failed" : "decoder C99 check passed");
    return failures ? 1 : 0;
}
