#include "app/RunStrip.h"

#include "app/LaterStarts.h"
#include "options/frmOptions.h"
#include "ticker/frmTicker.h"

int RunStrip(platform::RunningCopy& runningCopy, const platform::Services& services,
             const platform::LaterStart& start, const std::function<int()>& runEventLoop) {
  frmOptions options(services);
  frmTicker ticker(options, services);
  options.Attach(ticker);
  LaterStarts laterStarts(runningCopy, services.session, ticker, options);
  // The end of the desktop session, or being told to end by a signal (log-out, a service
  // manager, Ctrl+C, a closed terminal), closes the strip window as any close does: it saves,
  // then the program ends.
  services.session.OnEnd([&ticker] {
    if (!ticker.Closed()) ticker.Unload();
  });

  ticker.Show();
  if (ticker.Closed() || services.session.Ending()) return 0;
  laterStarts.StripShown();
  // This start's own --options; the toolkit has given its startup id to the strip.
  if (start.wants == platform::LaterStart::Wants::Options) laterStarts.Answer({start.wants, {}});
  return runEventLoop();
}
