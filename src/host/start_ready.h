// The work that precedes the start window's buttons: the two staging
// folders are emptied and the template's icon list is refreshed from the
// update server. An editor started on a project runs it too.
#pragma once

namespace sw::host {

class Host;

void StartReadyWork(const Host& host);

}  // namespace sw::host
