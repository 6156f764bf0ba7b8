/*
 * The C99 check's console on an AVR under simavr: stdout goes to UART 0,
 * which simavr prints, and the simulation ends when main returns.
 */
#include <avr/io.h>
#include <avr/sleep.h>
#include <stdio.h>

static int put_char(char c, FILE* stream)
{
    (void)stream;
    while (!(UCSR0A & (1 << UDRE0))) {
    }
    UDR0 = (uint8_t)c;
    return 0;
}

static FILE uart_output = FDEV_SETUP_STREAM(put_char, NULL, _FDEV_SETUP_WRITE);

/* Runs before main: the transmitter on, stdout to it. */
__attribute__((constructor)) static void console_start(void)
{
    UCSR0B = 1 << TXEN0;
    stdout = &uart_output;
}

/* Runs after main returns, with interrupts already off: simavr ends on a sleep then. */
__attribute__((destructor)) static void console_stop(void)
{
    set_sleep_mode(SLEEP_MODE_PWR_DOWN);
    sleep_enable();
    sleep_cpu();
}
