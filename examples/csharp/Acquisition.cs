// Drives a small acquisition card through the wrapper: reset it, enable its
// interrupt, then three times start a conversion, wait until the interrupt
// is pending, acknowledge it and read the result. Without the card, run it
// against the stand-in with the example card model (QUOREL_SIM_MODEL, see
// docs/card-model.md). Build: mcs -out:QuorelAcquisition.exe
// ../../dotnet/src/*.cs Acquisition.cs (Windows: csc, as Example.cs).
using System;
using System.Diagnostics;
using Quorel;

static class Acquisition
{
    const int Ctrl = 5, Result = 8;  // the model's CTRL and RESULT registers
    const int Start = 0x01;          // CTRL bit 0: begin one conversion
    const int Pending = 0x01;        // status bit 0: the interrupt is pending

    static bool WaitForPending()
    {
        Stopwatch clock = Stopwatch.StartNew();
        while (clock.Elapsed.TotalSeconds < 5)
            if ((NativeMethods.Quorel_sts() & Pending) != 0)
                return true;
        return false;
    }

    static int Main()
    {
        int result = NativeMethods.Quorel_open(0);
        if (result != NativeMethods.Success)
        {
            Console.Error.WriteLine("Quorel_open(0) returned {0}: no card (set QUOREL_SIM_MODEL for the stand-in)", result);
            return 1;
        }
        NativeMethods.Quorel_srst();
        NativeMethods.Quorel_enint();
        for (int conversion = 1; conversion <= 3; ++conversion)
        {
            NativeMethods.Quorel_out(Ctrl, Start);
            if (!WaitForPending())
            {
                Console.Error.WriteLine("conversion {0}: the interrupt never became pending (status 0x{1:X2})",
                    conversion, NativeMethods.Quorel_sts());
                return 1;
            }
            NativeMethods.Quorel_ackint();
            Console.WriteLine("conversion {0}: result 0x{1:X2}, status after the acknowledgement 0x{2:X2}",
                conversion, NativeMethods.Quorel_in(Result), NativeMethods.Quorel_sts());
        }
        NativeMethods.Quorel_disint();
        NativeMethods.Quorel_close();
        return 0;
    }
}
