/*
 * The decoder header as a C99 receiver uses it: built as C99 with every
 * warning an error, and run as a test. Exits 0 when both worked examples
 * decode to their values and a foreign datagram is refused.
 */
#include <kinemora/motion_datagram.h>

#include <stdio.h>

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

static int failures = 0;

static void check(int ok, const char* what)
{
    if (!ok) {
        printf("FAIL: %s\n", what);
        ++failures;
    }
}

int main(void)
{
    kinemora_k01 k01;
    kinemora_k2 k2;
    const unsigned char le[4] = {0x01, 0x02, 0x03, 0x04};

    check(kinemora_read_u32(le) == 0x04030201u, "kinemora_read_u32 reads little-endian");
    check(kinemora_read_f32(k01_example + 8) == 51.2f, "kinemora_read_f32 reads a float");

    check(kinemora_classify(k01_example, sizeof k01_example) == KINEMORA_K01, "K01 is classified");
    check(kinemora_classify(k2_example, sizeof k2_example) == KINEMORA_K2, "K2 is classified");
    check(kinemora_classify(k2_example, sizeof k01_example) == KINEMORA_UNRECOGNISED, "K2 bytes with K01 length");
    check(kinemora_classify(NULL, KINEMORA_K01_SIZE) == KINEMORA_UNRECOGNISED, "NULL is unrecognised");

    check(kinemora_decode_k01(k01_example, sizeof k01_example, &k01) == 1, "K01 decodes");
    check(k01.time_us == 6445568u, "K01 time_us");
    check(k01.velocity_x == 51.2f && k01.velocity_y == -0.75f && k01.velocity_z == 1.5f, "K01 velocity");
    check(k01.bank == 0.5f && k01.pitch == -0.125f && k01.rate_of_turn == 0.0625f, "K01 attitude and rate of turn");
    check(k01.angular_velocity_x == 0.25f && k01.angular_velocity_y == -0.03125f &&
              k01.angular_velocity_z == 0.015625f,
          "K01 angular velocity");
    check(kinemora_decode_k01(k2_example, sizeof k2_example, &k01) == 0, "K2 is not a K01");

    check(kinemora_decode_k2(k2_example, sizeof k2_example, &k2) == 1, "K2 decodes");
    check(k2.time_us == 2500000u, "K2 time_us");
    check(k2.velocity_body_z == 60.0f && k2.velocity_body_x == -0.5f && k2.velocity_body_y == 1.25f, "K2 velocity");
    check(k2.acceleration_body_z == 0.75f && k2.acceleration_body_x == -0.25f && k2.acceleration_body_y == 0.125f,
          "K2 acceleration");
    check(k2.bank == 0.174532925f && k2.pitch == -0.0872664626f && k2.heading == 4.71238898f, "K2 attitude");
    check(k2.rotation_velocity_body_z == 0.05f && k2.rotation_velocity_body_x == -0.01f &&
              k2.rotation_velocity_body_y == 0.02f,
          "K2 rotation velocity");
    check(kinemora_decode_k2(k01_example, sizeof k01_example, &k2) == 0, "K01 is not a K2");
    check(kinemora_decode_k2(k2_example, sizeof k2_example, NULL) == 0, "NULL output is refused");

    printf("%s\n", failures ? "decoder C99 check failed" : "decoder C99 check passed");
    return failures ? 1 : 0;
}
