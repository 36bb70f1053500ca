// A browser profile of its own (Chromium offers no installation in an incognito one) that
// has visited the app once and whose service worker is ready: what the offline tests of
// both views start from.
export async function firstVisit(playwright, testInfo) {
  const { launchOptions, browserName, ...options } = testInfo.project.use;
  const context = await playwright[browserName].launchPersistentContext(testInfo.outputPath('profile'),
    { ...launchOptions, ...options });
  const page = context.pages()[0];
  await page.goto('/');
  await page.evaluate(() => navigator.serviceWorker.ready);
  return { context, page };
}
